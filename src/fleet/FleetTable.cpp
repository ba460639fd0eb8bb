#include "fleet/FleetTable.h"

#include <optional>

namespace {

constexpr const char* kHeaders[] = {"Port", "State", "Model", "F/W", "Serial", "Projects",
                                    "C: free (KB)", "D: free (KB)", "E: free (KB)", "Last operation"};
static_assert(std::size(kHeaders) == FleetTable::kColumns);

QString StateText(FleetRow::State state) {
    switch (state) {
        case FleetRow::State::Reading: return QStringLiteral("Reading...");
        case FleetRow::State::Online: return QStringLiteral("On-line");
        case FleetRow::State::Offline: return QStringLiteral("Off-line");
    }
    return {};
}

bool IsFreeSpace(int column) { return column >= FleetTable::kFreeC && column <= FleetTable::kFreeE; }

std::optional<int32_t> FreeKB(const FleetRow& row, int column) {
    if (!row.read || !IsFreeSpace(column)) return std::nullopt;
    const QString drive = QStringLiteral("%1:").arg(QChar(u'C' + (column - FleetTable::kFreeC)));
    for (const DriveSpace& space : row.status.drives) {
        if (space.drive == drive) return space.freeKB;
    }
    return std::nullopt;
}

// A field as CSV holds it. Text a terminal sent that a spreadsheet would run as a formula
// is kept as text.
QByteArray CsvField(QString text) {
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text[0])) text.prepend(u'\'');
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        bytes.replace("\"", "\"\"");
        bytes = '"' + bytes + '"';
    }
    return bytes;
}

}  // namespace

int FleetTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FleetTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QString FleetTable::Text(const FleetRow& row, int column) const {
    const bool known = row.read && row.status.identified;
    switch (column) {
        case kPort: return row.port;
        case kState: return StateText(row.state);
        case kModel: return known ? QString::fromStdString(row.status.identity.model) : QString();
        case kFirmware: return known ? QString::fromStdString(row.status.identity.firmware) : QString();
        case kSerial: return known ? QString::fromStdString(row.status.identity.serialNumber) : QString();
        case kProjects: return row.read ? row.status.projects.join(QStringLiteral(", ")) : QString();
        case kFreeC:
        case kFreeD:
        case kFreeE: {
            const std::optional<int32_t> free = FreeKB(row, column);
            return free ? QString::number(*free) : QString();
        }
        case kLastResult: return row.lastResult;
        default: return {};
    }
}

QVariant FleetTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FleetRow& row = rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return Text(row, index.column());
    if (role == Qt::UserRole) {
        if (IsFreeSpace(index.column())) return FreeKB(row, index.column()).value_or(-1);
        return Text(row, index.column());
    }
    return {};
}

QVariant FleetTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns) return {};
    return QString::fromLatin1(kHeaders[section]);
}

int FleetTable::IndexOf(const QString& port) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].port == port) return static_cast<int>(i);
    }
    return -1;
}

const FleetRow* FleetTable::Find(const QString& port) const {
    const int row = IndexOf(port);
    return row < 0 ? nullptr : &rows_[static_cast<size_t>(row)];
}

void FleetTable::RowChanged(int row) { emit dataChanged(index(row, 0), index(row, kColumns - 1)); }

void FleetTable::Add(const QString& port, int32_t baudCode) {
    if (const int row = IndexOf(port); row >= 0) {
        rows_[static_cast<size_t>(row)].baudCode = baudCode;
        return;
    }
    const int row = rowCount();
    beginInsertRows({}, row, row);
    FleetRow added;
    added.port = port;
    added.baudCode = baudCode;
    rows_.push_back(std::move(added));
    endInsertRows();
}

void FleetTable::Remove(const QString& port) {
    const int row = IndexOf(port);
    if (row < 0) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void FleetTable::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void FleetTable::SetReading(const QString& port) {
    if (const int row = IndexOf(port); row >= 0) {
        rows_[static_cast<size_t>(row)].state = FleetRow::State::Reading;
        RowChanged(row);
    }
}

void FleetTable::SetStatus(const QString& port, const TerminalStatus& status) {
    if (const int row = IndexOf(port); row >= 0) {
        FleetRow& fleetRow = rows_[static_cast<size_t>(row)];
        fleetRow.state = FleetRow::State::Online;
        fleetRow.read = true;
        fleetRow.status = status;
        RowChanged(row);
    }
}

void FleetTable::SetOffline(const QString& port) {
    // What was read before stays, so an off-line terminal is still known by its serial.
    if (const int row = IndexOf(port); row >= 0) {
        rows_[static_cast<size_t>(row)].state = FleetRow::State::Offline;
        RowChanged(row);
    }
}

void FleetTable::TakeLastResults(const QList<JournalRecord>& records) {
    for (size_t row = 0; row < rows_.size(); ++row) {
        FleetRow& fleetRow = rows_[row];
        const QString serial = fleetRow.read ? QString::fromStdString(fleetRow.status.identity.serialNumber) : QString();
        for (auto record = records.crbegin(); record != records.crend(); ++record) {
            const JournalEntry& entry = record->entry;
            if (entry.port != fleetRow.port) continue;
            if (!serial.isEmpty() && !entry.serial.isEmpty() && entry.serial != serial) continue;
            const QString result = entry.ok ? QStringLiteral("ok")
                                            : entry.detail.isEmpty() ? QStringLiteral("failed")
                                                                     : QStringLiteral("failed: %1").arg(entry.detail);
            fleetRow.lastResult = QStringLiteral("%1 %2 %3: %4")
                                      .arg(record->when.toString(QStringLiteral("yyyy-MM-dd hh:mm")), entry.operation,
                                           entry.files.join(u' '), result);
            RowChanged(static_cast<int>(row));
            break;
        }
    }
}

QByteArray FleetTable::Csv() const {
    QByteArray csv;
    for (int column = 0; column < kColumns; ++column) {
        if (column > 0) csv += ',';
        csv += CsvField(QString::fromLatin1(kHeaders[column]));
    }
    csv += "\r\n";
    for (const FleetRow& row : rows_) {
        for (int column = 0; column < kColumns; ++column) {
            if (column > 0) csv += ',';
            // Free space as a plain number, which a spreadsheet can sum.
            if (IsFreeSpace(column)) {
                if (const std::optional<int32_t> free = FreeKB(row, column)) csv += QByteArray::number(*free);
            } else {
                csv += CsvField(Text(row, column));
            }
        }
        csv += "\r\n";
    }
    return csv;
}
