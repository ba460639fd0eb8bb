#include "ui/dialogs/FleetWindow.h"

#include "fleet/FleetTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

FleetWindow::FleetWindow(FleetTable& table, QWidget* parent)
    : QDialog(parent), view_(new QTableView(this)), sorted_(new QSortFilterProxyModel(this)),
      state_(new QLabel(this)) {
    setObjectName(QStringLiteral("fleetWindow"));
    setWindowTitle(tr("Fleet"));
    setAccessibleName(tr("Fleet"));
    setModal(false);
    sorted_->setSourceModel(&table);
    sorted_->setSortRole(Qt::UserRole);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    view_->setObjectName(QStringLiteral("fleetTable"));
    view_->setAccessibleName(tr("Fleet table"));
    view_->setModel(sorted_);
    view_->setSortingEnabled(true);
    view_->sortByColumn(FleetTable::kPort, Qt::AscendingOrder);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view_->horizontalHeader()->setStretchLastSection(true);

    state_->setObjectName(QStringLiteral("fleetState"));
    auto* refresh = new QPushButton(tr("&Refresh"), this);
    refresh->setAccessibleName(tr("Refresh"));
    refresh->setToolTip(tr("Read every terminal again (F5)"));
    auto* exportButton = new QPushButton(tr("&Export..."), this);
    exportButton->setAccessibleName(tr("Export"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setAccessibleName(tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(state_, 1);
    buttons->addWidget(refresh);
    buttons->addWidget(exportButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);
    resize(820, 300);

    connect(refresh, &QPushButton::clicked, this, &FleetWindow::refreshRequested);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &FleetWindow::refreshRequested);
    connect(exportButton, &QPushButton::clicked, this, &FleetWindow::exportRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    SetReading(false);
}

void FleetWindow::SetReading(bool reading) {
    state_->setText(reading ? tr("Reading the terminals...")
                            : tr("Read at %1").arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))));
    state_->setAccessibleName(state_->text());
}
