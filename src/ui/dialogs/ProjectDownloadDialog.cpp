#include "ui/dialogs/ProjectDownloadDialog.h"

#include "core/InstalledServices.h"
#include "core/OperationGate.h"
#include "core/Services.h"
#include "core/TarvikDoc.h"
#include "platform/Prompter.h"
#include "platform/Questions.h"
#include "project/ProjectDownload.h"
#include "ui/Accessibility.h"
#include "ui/dialogs/FleetRunDialog.h"
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
    for (QTreeWidget* list :
         {ui_->programList, ui_->fontList, ui_->dataFileList, ui_->terminalList}) {
        MakeAccessibleCheckList(*list);
    }
    // The program list is one line high.
    ui_->programList->setFixedHeight(ui_->programList->fontMetrics().height() + 10);
    // The count is refreshed as the pointer moves over the list, and on each check, so that a
    // check by key or screen reader is counted too.
    ui_->terminalList->viewport()->setMouseTracking(true);
    ui_->terminalList->viewport()->installEventFilter(this);
    connect(ui_->terminalList, &QTreeWidget::itemChanged, this,
            &ProjectDownloadDialog::RefreshCount);
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
    const std::vector<bool> checked = CheckedTerminals();
    const std::vector<int> members = CheckedMembers();
    // Device notices wait until the run ends, so none changes the roster under it.
    OperationScope operation;
    const Services services = InstalledServices();
    // A file that changed under the dialog would send other members than the ones checked.
    const ListedProject now = LoadProject(services, DataFolder, projectName_);
    if (!now.error.isEmpty()) {
        ShowMessage(services.prompter, now.error);
        return;
    }
    if (now.header != header_) {
        ShowMessage(services.prompter, QString::fromLatin1(kProjectChangedText));
        return;
    }
    if (std::none_of(checked.begin(), checked.end(), [](bool on) { return on; })) {
        ShowMessage(services.prompter, QStringLiteral("No Terminal is selected to download!"));
        return;
    }
    if (members.empty()) {
        ShowMessage(services.prompter, QStringLiteral("No file is selected to download!"));
        return;
    }

    // Workers cannot ask: whether data files a terminal holds already are replaced is asked
    // once here. They may hold data collected on the terminal since they were sent.
    const bool dataFiles = !CheckedEntries(*ui_->dataFileList).empty();
    const bool replaceData =
        dataFiles &&
        services.prompter.Ask(QuestionKind::Overwrite,
                              QStringLiteral("Replace the checked data files on the terminals "
                                             "that hold them already?\r\nThey may hold data "
                                             "collected since. No keeps them."),
                              kApplicationTitle);

    // The model question is asked of every terminal that needs it before any worker starts; a
    // No leaves that terminal out.
    QStringList entries;
    for (const int member : members) entries << QString::number(member);
    const QString projectFile = ProjectFilePath(DataFolder, projectName_);
    std::vector<FleetRunDialog::Row> rows;
    std::vector<WorkerTask> tasks;
    std::vector<size_t> served;
    QStringList leftOut;
    for (size_t k = 0; k < terminals_.size() && k < checked.size(); ++k) {
        if (!checked[k]) continue;
        const ConnectionSettings& record = terminals_[k];
        QStringList arguments{"--worker", "download", projectFile,
                              "--to", QString::fromStdString(record.portName),
                              "--entries", entries.join(u',')};
        arguments << (replaceData ? QStringLiteral("--force") : QStringLiteral("--keep"));
        if (!ModelMeetsReaderKind(requirements_.readerKind, record.model)) {
            if (!AskDownloadDespiteModel(services.prompter, TerminalItemText(record))) {
                leftOut << TerminalItemText(record);
                continue;
            }
            arguments << QStringLiteral("--yes");
        }
        rows.push_back({QString::fromStdString(record.portName), QString::fromStdString(record.serialNumber)});
        tasks.push_back({rows.back().port, arguments});
        served.push_back(k);
    }
    if (tasks.empty()) return;

    FleetRunDialog run(tr("Download %1").arg(projectName_), rows, this);
    const std::vector<WorkerOutcome> outcomes = run.Run(std::move(tasks));
    for (size_t i = 0; i < outcomes.size(); ++i) {
        const ConnectionSettings& record = terminals_[served[i]];
        for (const QString& text : run.MessagesOf(i, TerminalItemText(record)))
            ShowMessage(services.prompter, text);
        if (outcomes[i].ok) continue;
        leftOut << TerminalItemText(record);
        if (const QString failure = run.UntoldFailure(i, record); !failure.isEmpty()) {
            ShowMessage(services.prompter, failure);
        }
    }
    if (run.Cancelled() && !leftOut.isEmpty()) {
        ShowMessage(services.prompter,
                    QStringLiteral("Download cancelled. These terminals did not receive the whole "
                                   "selection:\r\n%1")
                        .arg(leftOut.join(QStringLiteral("\r\n"))));
    }
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
