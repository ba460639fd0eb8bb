#pragma once

#include "link/ConnectionSettings.h"
#include "project/ProjectLists.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct Services;

// The reading of a project installed on one terminal and the upload of its data files, which
// the property dialog starts. Each works on values, so the dialog only collects what the user
// checked.

// Reads "D:\<name>.INF" from the terminal of `record` through a staging file in the data folder.
ListedProject ReadInstalledProject(const Services& services, const QString& dataFolder,
                                   const ConnectionSettings& record, const QString& projectName);

// "My Document\Tarvik\%s\%s" with the project name and the record's serial number.
QString UploadTargetText(const QString& projectName, const ConnectionSettings& record);

// Where the uploads of a project from one terminal go: data folder \ name \ serial number.
QString UploadFolder(const QString& dataFolder, const QString& projectName,
                     const ConnectionSettings& record);

struct UploadRequest {
    QString dataFolder;
    QString projectName;
    ConnectionSettings record;
    QByteArray listedHeader;  // the information file the dialog listed
    std::vector<int> checkedMembers;
};

// Copies the checked data files of the installed project into UploadFolder, each whole or
// not at all. Answers how many were copied. Journaled as "upload", ok when every one was.
int UploadDataFiles(const Services& services, const UploadRequest& request);

struct CollectOutcome {
    bool installed = false;  // the terminal holds the project's information file
    QString error;           // why the information file could not be read, not shown
    int dataFiles = 0;       // the data files it lists
    int collected = 0;       // those copied
};

// Every data file of the project installed on the terminal of `record` (its serial number
// read), into UploadFolder(into, ...). A file there already is replaced only after a Yes;
// failures of the copies are shown. Journaled once as "collect", its copies included.
CollectOutcome CollectDataFiles(const Services& services, const QString& into,
                                const QString& projectName, const ConnectionSettings& record);
