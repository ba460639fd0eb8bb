#pragma once

#include "platform/Journal.h"
#include "terminal/TerminalStatus.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <vector>

// One terminal of the fleet: the roster's record and what was last read of it.
struct FleetRow {
    enum class State { Reading, Online, Offline };
    QString port;
    int32_t baudCode = 0;
    State state = State::Reading;
    bool read = false;  // `status` holds a reading
    TerminalStatus status;
    QString lastResult;  // the last operation's result, as the row shows it
};

// The fleet table: one row per roster terminal, remembered ones that do not answer included.
// Each column sorts by its value (free space as a number) through Qt::UserRole.
class FleetTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kPort, kState, kModel, kFirmware, kSerial, kProjects, kFreeC, kFreeD, kFreeE, kLastResult, kColumns };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::vector<FleetRow>& Rows() const { return rows_; }
    const FleetRow* Find(const QString& port) const;
    // Adds a row for the port unless it has one; a row found keeps its reading.
    void Add(const QString& port, int32_t baudCode);
    void Remove(const QString& port);
    void Clear();
    void SetReading(const QString& port);
    void SetStatus(const QString& port, const TerminalStatus& status);
    void SetOffline(const QString& port);
    // Each row's last operation from the journal's records (oldest first): the latest one of
    // its port, and of its serial number where both are known.
    void TakeLastResults(const QList<JournalRecord>& records);

    // The table as CSV (RFC 4180, CRLF), with a header line, in row order.
    QByteArray Csv() const;

private:
    QString Text(const FleetRow& row, int column) const;
    int IndexOf(const QString& port) const;
    void RowChanged(int row);

    std::vector<FleetRow> rows_;
};
