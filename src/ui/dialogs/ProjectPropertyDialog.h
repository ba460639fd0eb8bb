#pragma once

#include "link/ConnectionSettings.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

namespace Ui {
class ProjectPropertyDialog;
}

// Shows a project installed on a roster terminal, from its information file, and copies its
// checked data files to the PC.
class ProjectPropertyDialog : public QDialog {
    Q_OBJECT

public:
    ProjectPropertyDialog(const ConnectionSettings& record, const QString& projectName,
                          QWidget* parent = nullptr);
    ~ProjectPropertyDialog() override;

    // False when the information file could not be read; its message has been shown and
    // exec() returns at once.
    bool Loaded() const { return loaded_; }
    int exec() override;

private:
    void Load();
    void Upload();

    std::unique_ptr<Ui::ProjectPropertyDialog> ui_;
    // A copy: the roster may change while the dialog is open.
    ConnectionSettings record_;
    QString projectName_;
    QString programName_;
    QByteArray header_;
    bool loaded_ = false;
};
