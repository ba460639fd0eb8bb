#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class NameDialog;
}

// Asks for the name of a new folder or the new name of a file or folder, with a terminal's
// short-name limits when the name is for a terminal.
class NameDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRename = 0;
    static constexpr int kNewFolder = 1;

    // `purpose` is kNewFolder or kRename; `isFile` tells a file to rename from a folder.
    NameDialog(bool pcTree, int purpose, bool isFile, QWidget* parent = nullptr);
    ~NameDialog() override;

    // The name confirmed with OK; empty until then.
    QString Name() const { return name_; }

    void accept() override;

private:
    bool Acceptable(QString& name) const;

    std::unique_ptr<Ui::NameDialog> ui_;
    const bool pcTree_;
    const bool terminalFile_;
    QString name_;
};

// Whether a name the user typed may name an item on that side: never a path of its own.
bool NameFitsTree(bool pcTree, const QString& name);
