#include "ui/dialogs/ProjectPropertyDialog.h"

#include "core/InstalledServices.h"
#include "core/OperationGate.h"
#include "core/TarvikDoc.h"
#include "platform/Prompter.h"
#include "project/ProjectUpload.h"
#include "ui/Accessibility.h"
#include "ui/dialogs/ProjectDownloadDialog.h"
#include "ui_ProjectPropertyDialog.h"

#include <QDir>
#include <QPushButton>
#include <optional>

ProjectPropertyDialog::ProjectPropertyDialog(const ConnectionSettings& record,
                                             const QString& projectName, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::ProjectPropertyDialog>()),
      record_(record),
      projectName_(projectName) {
    ui_->setupUi(this);
    MakeAccessibleCheckList(*ui_->fontList);
    MakeAccessibleCheckList(*ui_->dataFileList);
    ui_->uploadEdit->setText(UploadTargetText(projectName_, record_));
    ui_->uploadEdit->setToolTip(QDir::toNativeSeparators(UploadFolder(DataFolder, projectName_, record_)));
    connect(ui_->uploadButton, &QPushButton::clicked, this, &ProjectPropertyDialog::Upload);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    Load();
}

ProjectPropertyDialog::~ProjectPropertyDialog() = default;

int ProjectPropertyDialog::exec() { return loaded_ ? QDialog::exec() : QDialog::Rejected; }

void ProjectPropertyDialog::Load() {
    ListedProject project;
    {
        OperationScope operation;
        project = ReadInstalledProject(InstalledServices(), DataFolder, record_, projectName_);
    }
    if (!project.error.isEmpty()) {
        ShowMessage(project.error);
        return;
    }
    header_ = project.header;
    const MemberLists lists = SplitMembers(project.entries);
    // A later program replaces an earlier one.
    if (!lists.programs.empty()) programName_ = lists.programs.back().displayName;
    ui_->programEdit->setText(programName_);
    for (const ListedMember& member : lists.fonts) {
        AddMemberItem(*ui_->fontList, member.displayName, member.entry, false);
    }
    for (const ListedMember& member : lists.dataFiles) {
        AddMemberItem(*ui_->dataFileList, member.displayName, member.entry, true);
    }
    loaded_ = true;
}

void ProjectPropertyDialog::Upload() {
    const UploadRequest request{DataFolder, projectName_, record_, header_,
                                CheckedEntries(*ui_->dataFileList)};
    OperationScope operation;
    UploadDataFiles(InstalledServices(), request);
}
