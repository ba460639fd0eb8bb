#include "ui/dialogs/ProjectDownloadDialog.h"

#include "core/InstalledServices.h"
#include "core/OperationGate.h"
#include "core/TarvikDoc.h"
#include "platform/Prompter.h"
#include "project/ProjectDownload.h"
#include "ui_ProjectDownloadDialog.h"

#include <QEvent>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <algorithm>
#include <optional>

namespace {

constexpr int kEntryRole = Qt::UserRole;

// A member no terminal can hold is shown greyed, with the reason, and cannot be checked.
void AddListedMember(QTreeWidget& list, const ListedMember& member) {
    const bool sendable = member.refusal.isEmpty();
    AddMemberItem(list, member.displayName, member.entry, sendable);
    if (sendable) return;
    QTreeWidgetItem* item = list.topLevelItem(list.topLevelItemCount() - 1);
    item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    item->setToolTip(0, member.refusal);
    item->setData(0, Qt::AccessibleDescriptionRole, member.refusal);
}

}  // namespace

void AddMemberItem(QTreeWidget& list, const QString& text, int entry, bool checkable) {
    auto* item = new QTreeWidgetItem(&list, QStringList{text});
    item->setData(0, kEntryRole, entry);
    if (!checkable) {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        return;
    }
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
}

std::vector<int> CheckedEntries(const QTreeWidget& list) {
    std::vector<int> entries;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) entries.push_back(item->data(0, kEntryRole).toInt());
    }
    return entries;
}

ProjectDownloadDialog::ProjectDownloadDialog(const QString& projectName, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ProjectDownloadDialog>()), projectName_(projectName) {
    ui_->setupUi(this);
    // The program list is one line high.
    ui_->programList->setFixedHeight(ui_->programList->fontMetrics().height() + 10);
    // The count is refreshed as the pointer moves over the list, not on each check.
    ui_->terminalList->viewport()->setMouseTracking(true);
    ui_->terminalList->viewport()->installEventFilter(this);
    connect(ui_->downloadButton, &QPushButton::clicked, this, &ProjectDownloadDialog::Download);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    Load();
}

ProjectDownloadDialog::~ProjectDownloadDialog() = default;

int ProjectDownloadDialog::exec() { return loaded_ ? QDialog::exec() : QDialog::Rejected; }

bool ProjectDownloadDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->terminalList->viewport() && event->type() == QEvent::MouseMove) {
        RefreshCount();
    }
    return QDialog::eventFilter(watched, event);
}

void ProjectDownloadDialog::Load() {
    ListedProject project = LoadProject(InstalledServices(), DataFolder, projectName_);
    if (!project.error.isEmpty()) {
        ShowMessage(project.error);
        return;
    }
    requirements_ = project.requirements;
    header_ = project.header;
    ui_->requirementLabel->setText(RequirementLine(requirements_));
    const MemberLists lists = SplitForDownload(project.entries);
    for (const ListedMember& member : lists.programs) AddListedMember(*ui_->programList, member);
    for (const ListedMember& member : lists.fonts) AddListedMember(*ui_->fontList, member);
    for (const ListedMember& member : lists.dataFiles) AddListedMember(*ui_->dataFileList, member);
    FillTerminalList();
    ui_->countLabel->setText(
        QStringLiteral("Terminal: %1 device(s), 0 selected").arg(terminals_.size()));
    loaded_ = true;
}

void ProjectDownloadDialog::FillTerminalList() {
    if (!g_doc) return;
    for (const auto& record : g_doc->terminals) {
        terminals_.push_back(*record);
        auto* item = new QTreeWidgetItem(ui_->terminalList, QStringList{TerminalItemText(*record)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
}

void ProjectDownloadDialog::RefreshCount() {
    const std::vector<bool> checked = CheckedTerminals();
    ui_->countLabel->setText(QStringLiteral("Terminal: %1 device(s), %2 selected")
                                 .arg(terminals_.size())
                                 .arg(std::count(checked.begin(), checked.end(), true)));
}

void ProjectDownloadDialog::Download() {
    DownloadRequest request{DataFolder,         projectName_,       requirements_, header_,
                            terminals_,         CheckedTerminals(), CheckedMembers()};
    // Device notices wait until the run ends, so none changes the roster under it.
    OperationScope operation;
    DownloadProject(InstalledServices(), request);
}

std::vector<int> ProjectDownloadDialog::CheckedMembers() const {
    std::vector<int> members;
    for (const QTreeWidget* list : {ui_->programList, ui_->fontList, ui_->dataFileList}) {
        const std::vector<int> checked = CheckedEntries(*list);
        members.insert(members.end(), checked.begin(), checked.end());
    }
    return members;
}

std::vector<bool> ProjectDownloadDialog::CheckedTerminals() const {
    std::vector<bool> checked;
    for (int i = 0; i < ui_->terminalList->topLevelItemCount(); ++i) {
        checked.push_back(ui_->terminalList->topLevelItem(i)->checkState(0) == Qt::Checked);
    }
    return checked;
}
