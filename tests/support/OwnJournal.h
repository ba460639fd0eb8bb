#pragma once

#include "platform/Journal.h"

#include <QStringList>
#include <QTemporaryDir>

// A journal of the test's own for as long as it lives, so lines of other tests run in the
// same program are not counted.
class OwnJournal {
public:
    OwnJournal() { qputenv("XDG_STATE_HOME", state_.path().toUtf8()); }
    ~OwnJournal() { qputenv("XDG_STATE_HOME", previous_); }
    OwnJournal(const OwnJournal&) = delete;
    OwnJournal& operator=(const OwnJournal&) = delete;

    // Its lines as "serial|port|operation|files|ok or failed|detail", oldest first.
    static QStringList Lines() {
        QStringList lines;
        for (const JournalRecord& record : ReadJournalTail(JournalPath()).records) {
            const JournalEntry& entry = record.entry;
            lines << QStringList{entry.serial, entry.port, entry.operation, entry.files.join(u' '),
                                 entry.ok ? "ok" : "failed", entry.detail}
                         .join(u'|');
        }
        return lines;
    }

private:
    QByteArray previous_ = qgetenv("XDG_STATE_HOME");
    QTemporaryDir state_;
};
