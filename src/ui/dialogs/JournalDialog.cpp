#include "ui/dialogs/JournalDialog.h"

#include "platform/Journal.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum Column { kTime, kSerial, kPort, kOperation, kFiles, kResult, kColumns };

constexpr int kWidestColumn = 260;

}  // namespace

JournalDialog::JournalDialog(const QString& journalPath, QWidget* parent)
    : QDialog(parent), path_(journalPath) {
    setWindowTitle(tr("Journal"));
    setAccessibleName(tr("Journal"));
    table_ = new QTableWidget(0, kColumns, this);
    table_->setObjectName(QStringLiteral("journalTable"));
    table_->setAccessibleName(tr("Journal lines"));
    table_->setHorizontalHeaderLabels(
        {tr("Time"), tr("Serial"), tr("Port"), tr("Operation"), tr("Files"), tr("Result")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("journalNotice"));
    notice_->setAccessibleName(tr("Journal notice"));
    notice_->setWordWrap(true);
    refresh_ = new QPushButton(tr("&Refresh"), this);
    refresh_->setObjectName(QStringLiteral("refreshButton"));
    refresh_->setAccessibleName(tr("Refresh"));
    close_ = new QPushButton(tr("Close"), this);
    close_->setObjectName(QStringLiteral("closeButton"));
    close_->setAccessibleName(tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(notice_);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(refresh_, &QPushButton::clicked, this, &JournalDialog::Refresh);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this, &JournalDialog::Refresh);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    Refresh();
}

QString JournalDialog::Notice() const { return notice_->text(); }

void JournalDialog::Refresh() {
    const JournalTail tail = ReadJournalTail(path_);
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(tail.records.size()));
    int row = 0;
    for (const JournalRecord& record : tail.records) {
        const JournalEntry& entry = record.entry;
        QString result = entry.ok ? tr("ok") : tr("failed");
        if (!entry.detail.isEmpty()) result += QStringLiteral(": ") + entry.detail;
        const QStringList texts{record.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                entry.serial, entry.port, entry.operation, entry.files.join(u' '), result};
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            table_->setItem(row, column, item);
        }
        ++row;
    }
    table_->resizeColumnsToContents();
    // A long list of files stays readable in its tooltip, not by widening the table.
    for (int column = 0; column < kColumns - 1; ++column)
        table_->setColumnWidth(column, std::min(table_->columnWidth(column), kWidestColumn));
    if (!tail.error.isEmpty()) {
        notice_->setText(tail.error);
    } else if (tail.records.isEmpty()) {
        notice_->setText(tr("The journal is empty."));
    } else {
        notice_->clear();
    }
    notice_->setVisible(!notice_->text().isEmpty());
    table_->scrollToBottom();
    // Rows are laid out only once events are handled; the newest is then brought into view.
    QMetaObject::invokeMethod(table_, &QTableWidget::scrollToBottom, Qt::QueuedConnection);
}
