#include "ui/dialogs/FirmwareUpgradeDialog.h"

#include "core/InstalledServices.h"
#include "core/TarvikDoc.h"
#include "firmware/FirmwareUpgrade.h"
#include "platform/Prompter.h"
#include "ui_FirmwareUpgradeDialog.h"

#include <QEvent>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <algorithm>

FirmwareUpgradeDialog::FirmwareUpgradeDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FirmwareUpgradeDialog>()) {
    ui_->setupUi(this);
    // The count is refreshed as the pointer moves over the list, not on each check.
    ui_->terminalList->viewport()->setMouseTracking(true);
    ui_->terminalList->viewport()->installEventFilter(this);

    connect(ui_->browseButton, &QPushButton::clicked, this, &FirmwareUpgradeDialog::Browse);
    connect(ui_->upgradeButton, &QPushButton::clicked, this, &FirmwareUpgradeDialog::Upgrade);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);

    FillTerminalList();
    ui_->countLabel->setText(QStringLiteral("Terminal for Upgrade: %1 device(s), 0 selected")
                                 .arg(g_doc->terminals.size()));
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
    UpgradeCheckedTerminals(InstalledServices(), g_doc->terminals, CheckedFlags(), imagePath_);
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
