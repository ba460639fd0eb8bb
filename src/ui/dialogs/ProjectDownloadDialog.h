#pragma once

#include "link/ConnectionSettings.h"
#include "project/ProjectFile.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

namespace Ui {
class ProjectDownloadDialog;
}
class QTreeWidget;

// Shows what a project of the data folder holds and needs, and downloads its checked members
// to the checked roster terminals with "=>".
class ProjectDownloadDialog : public QDialog {
    Q_OBJECT

public:
    ProjectDownloadDialog(const QString& projectName, QWidget* parent = nullptr);
    ~ProjectDownloadDialog() override;

    // False when the project could not be read; its message has been shown and exec() returns
    // at once.
    bool Loaded() const { return loaded_; }
    int exec() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void FillTerminalList();
    void RefreshCount();
    void Download();
    std::vector<int> CheckedMembers() const;
    std::vector<bool> CheckedTerminals() const;

    std::unique_ptr<Ui::ProjectDownloadDialog> ui_;
    QString projectName_;
    ProjectRequirements requirements_;
    QByteArray header_;
    // The roster as listed: line k stands for record k even if the roster changes meanwhile.
    std::vector<ConnectionSettings> terminals_;
    bool loaded_ = false;
};

// Adds a member line with a check box to one of the project dialogs' lists.
void AddMemberItem(QTreeWidget& list, const QString& text, int entry, bool checkable);
// The entries of a list's checked lines.
std::vector<int> CheckedEntries(const QTreeWidget& list);
