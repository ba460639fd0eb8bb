#include "ui/dialogs/FirmwareUpgradeDialog.h"

#include "core/InstalledServices.h"
#include "core/OperationGate.h"
#include "core/Services.h"
#include "core/TarvikDoc.h"
#include "firmware/FirmwareUpgrade.h"
#include "platform/Prompter.h"
#include "ui/Accessibility.h"
#include "ui/dialogs/FleetRunDialog.h"
#include "ui_FirmwareUpgradeDialog.h"

#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <algorithm>

FirmwareUpgradeDialog::FirmwareUpgradeDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FirmwareUpgradeDialog>()) {
    ui_->setupUi(this);
    MakeAccessibleCheckList(*ui_->terminalList);
    // The count is refreshed as the pointer moves over the list, and on each check, so that a
    // check by key or screen reader is counted too.
    ui_->terminalList->viewport()->setMouseTracking(true);
    ui_->terminalList->viewport()->installEventFilter(this);

    connect(ui_->browseButton, &QPushButton::clicked, this, &FirmwareUpgradeDialog::Browse);
    connect(ui_->upgradeButton, &QPushButton::clicked, this, &FirmwareUpgradeDialog::Upgrade);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);

    FillTerminalList();
    ui_->countLabel->setText(QStringLiteral("Terminal for Upgrade: %1 device(s), 0 selected")
                                 .arg(g_doc->terminals.size()));
    connect(ui_->terminalList, &QTreeWidget::itemChanged, this,
            &FirmwareUpgradeDialog::RefreshCount);
    ui_->imagePathEdit->setText(imagePath_);
}

FirmwareUpgradeDialog::~FirmwareUpgradeDialog() = default;

bool FirmwareUpgradeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->terminalList->viewport() && event->type() == QEvent::MouseMove) {
        RefreshCount();
    }
    // The list still handles the move itself.
    return QDialog::eventFilter(watched, event);
}

void FirmwareUpgradeDialog::FillTerminalList() {
    for (const auto& record : g_doc->terminals) {
        auto* item = new QTreeWidgetItem(ui_->terminalList, QStringList{UpgradeItemText(*record)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
}

void FirmwareUpgradeDialog::RefreshCount() {
    const std::vector<bool> checked = CheckedFlags();
    const auto selected = std::count(checked.begin(), checked.end(), true);
    ui_->countLabel->setText(QStringLiteral("Terminal for Upgrade: %1 device(s), %2 selected")
                                 .arg(g_doc->terminals.size())
                                 .arg(selected));
}

void FirmwareUpgradeDialog::Browse() {
    const QString path = Prompt().OpenFile(kFirmwareFileFilter, kFirmwareFileSuffix);
    if (path.isEmpty()) return;
    imagePath_ = path;
    ui_->imagePathEdit->setText(imagePath_);
}

void FirmwareUpgradeDialog::Upgrade() {
    imagePath_ = ui_->imagePathEdit->text();
    const Services services = InstalledServices();
    if (imagePath_.isEmpty()) {
        ShowMessage(services.prompter, QStringLiteral("Selecte F/W file to upgrade!"));
        return;
    }
    if (RefuseNonFileImage(services, imagePath_)) return;
    const std::vector<bool> checked = CheckedFlags();
    std::vector<FleetRunDialog::Row> rows;
    std::vector<WorkerTask> tasks;
    std::vector<ConnectionSettings> records;
    const QString image = QFileInfo(imagePath_).absoluteFilePath();
    for (size_t k = 0; k < g_doc->terminals.size() && k < checked.size(); ++k) {
        if (!checked[k]) continue;
        const ConnectionSettings& record = *g_doc->terminals[k];
        records.push_back(record);
        rows.push_back({QString::fromStdString(record.portName), QString::fromStdString(record.serialNumber)});
        tasks.push_back({rows.back().port, {"--worker", "upgrade", image, "--to", rows.back().port}});
    }
    if (tasks.empty()) {
        ShowMessage(services.prompter, QStringLiteral("Select terminal to upgrade!"));
        return;
    }
    // Device notices wait until every worker has ended.
    OperationScope operation;
    FleetRunDialog run(tr("F/W Upgrade"), rows, this);
    const std::vector<WorkerOutcome> outcomes = run.Run(std::move(tasks));
    bool anyUpgraded = false;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        anyUpgraded = anyUpgraded || outcomes[i].ok;
        // The completion is told once for the run, not per terminal.
        const QStringList told = run.MessagesOf(i, UpgradeItemText(records[i]));
        for (qsizetype m = 0; m < told.size(); ++m) {
            if (run.Messages()[i][m] != QLatin1String(kUpgradeCompleteText))
                ShowMessage(services.prompter, told[m]);
        }
        if (const QString failure = run.UntoldFailure(i, records[i]); !failure.isEmpty()) {
            ShowMessage(services.prompter, failure);
        }
    }
    if (anyUpgraded) ShowMessage(services.prompter, kUpgradeCompleteText);
}

std::vector<bool> FirmwareUpgradeDialog::CheckedFlags() const {
    std::vector<bool> checked;
    const int count = ui_->terminalList->topLevelItemCount();
    checked.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        checked.push_back(ui_->terminalList->topLevelItem(i)->checkState(0) == Qt::Checked);
    }
    return checked;
}
