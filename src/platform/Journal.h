#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// What was done to one terminal, for the journal every Tarvik program appends to.
struct JournalEntry {
    QString serial;
    QString port;
    QString operation;  // "download", "put", ...
    QStringList files;  // what it named: a project, files, an image
    bool ok = false;
    QString detail;     // why it failed, or what it left
};

// $XDG_STATE_HOME/tarvik/journal.log, ~/.local/state/tarvik/journal.log by default.
QString JournalPath();

// The entry as one line: time, serial, port, operation, files, result, tab-separated, with tabs
// and line breaks in the texts made spaces and the files bounded, so a line stays one line.
QByteArray JournalLine(const JournalEntry& entry, const QDateTime& when);

// Appends the entry in one write to the journal opened for appending, so the lines of programs
// that write at once never mix. False when the journal cannot be written; nothing else fails.
bool AppendToJournal(const JournalEntry& entry, const QDateTime& when = QDateTime::currentDateTime());

// One line read back from the journal. The files come back as the one text the line holds.
struct JournalRecord {
    QDateTime when;
    JournalEntry entry;
};

struct JournalTail {
    QList<JournalRecord> records;  // oldest first
    QString error;                 // why the journal could not be read; empty when it was
};

// The lines of at most the last `maxBytes` of the journal at `path`: the journal grows without
// bound, so it is never read whole. A line cut by the bound, or not of seven fields, is left
// out; a journal not yet written is empty, not an error.
JournalTail ReadJournalTail(const QString& path, qint64 maxBytes = qint64(1) << 20);
