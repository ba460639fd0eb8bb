#include "ui/dialogs/NameDialog.h"

#include "pc/PcFileOperations.h"
#include "platform/Prompter.h"
#include "ui_NameDialog.h"

namespace {

constexpr int kTerminalFileLength = 11;
constexpr int kTerminalFolderLength = 8;
constexpr int kBaseLength = 8;
constexpr int kExtensionLength = 3;

}  // namespace

bool NameFitsTree(bool pcTree, const QString& name) {
    if (pcTree) return IsPcFileName(name);
    // The terminal answers for the rest of its rules; a separator would reach another folder.
    return !name.contains(u'\\') && !name.contains(u'/') && !name.contains(QChar(0));
}

NameDialog::NameDialog(bool pcTree, int purpose, bool isFile, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::NameDialog>()),
      pcTree_(pcTree),
      terminalFile_(!pcTree && purpose == kRename && isFile) {
    ui_->setupUi(this);
    connect(ui_->okButton, &QPushButton::clicked, this, &NameDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &NameDialog::reject);

    ui_->hintLabel->setVisible(!pcTree);
    const bool file = purpose == kRename && isFile;
    if (purpose == kNewFolder) {
        ui_->nameLabel->setText(QStringLiteral("New Folder:"));
    } else {
        setWindowTitle(QStringLiteral("Modify Name"));
        ui_->nameLabel->setText(file ? QStringLiteral("New File Name:")
                                     : QStringLiteral("New Folder Name:"));
        ui_->hintLabel->setText(file ? QStringLiteral("Format: 8.3")
                                     : QStringLiteral("Max. 8 char."));
    }
    QString spoken = ui_->nameLabel->text();
    spoken.chop(1);  // the colon
    ui_->nameEdit->setAccessibleName(spoken);
    ui_->nameEdit->setAccessibleDescription(pcTree ? QString() : ui_->hintLabel->text().trimmed());
    if (!pcTree) ui_->nameEdit->setMaxLength(file ? kTerminalFileLength : kTerminalFolderLength);
}

NameDialog::~NameDialog() = default;

bool NameDialog::Acceptable(QString& name) const {
    if (terminalFile_) {
        const qsizetype dot = name.indexOf(u'.');
        if (dot < 0 || dot > kBaseLength) return false;
        if (name.size() - dot - 1 > kExtensionLength) name.truncate(dot + 1 + kExtensionLength);
    }
    return NameFitsTree(pcTree_, name);
}

void NameDialog::accept() {
    QString name = ui_->nameEdit->text();
    if (!Acceptable(name)) {
        ShowMessage(QStringLiteral("Invalid file name!"));
        return;
    }
    if (name != ui_->nameEdit->text()) ui_->nameEdit->setText(name);
    name_ = name;
    QDialog::accept();
}
