#include "platform/Journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Lines stay short enough to be written in one piece.
constexpr qsizetype kMaxFilesText = 2048;

QString Field(QString text) {
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r' || c.category() == QChar::Other_Control) c = u' ';
    }
    return text.isEmpty() ? QStringLiteral("-") : text;
}

// The field as written back to its text: "-" stands for an empty one.
QString Unfield(const QByteArray& field) {
    return field == "-" ? QString() : QString::fromUtf8(field);
}

}  // namespace

QString JournalPath() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME is not trusted: it would depend on the working folder.
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + "/.local/state";
    return state + QStringLiteral("/tarvik/journal.log");
}

QByteArray JournalLine(const JournalEntry& entry, const QDateTime& when) {
    QString files = entry.files.join(u' ');
    if (files.size() > kMaxFilesText) {
        files = files.left(kMaxFilesText) + QStringLiteral(" …(%1 files)").arg(entry.files.size());
    }
    const QStringList fields{when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate),
                             Field(entry.serial),
                             Field(entry.port),
                             Field(entry.operation),
                             Field(files),
                             entry.ok ? QStringLiteral("ok") : QStringLiteral("failed"),
                             Field(entry.detail.left(kMaxFilesText))};
    return fields.join(u'\t').toUtf8() + '\n';
}

bool AppendToJournal(const JournalEntry& entry, const QDateTime& when) {
    const QString path = JournalPath();
    QDir().mkpath(QFileInfo(path).path());
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    const QByteArray line = JournalLine(entry, when);
    const ssize_t written = ::write(fd, line.constData(), static_cast<size_t>(line.size()));
    ::close(fd);
    return written == line.size();
}

JournalTail ReadJournalTail(const QString& path, qint64 maxBytes) {
    JournalTail tail;
    QFile file(path);
    if (!file.exists()) return tail;
    if (!file.open(QIODevice::ReadOnly)) {
        tail.error = QStringLiteral("The journal %1 cannot be read: %2.").arg(path, file.errorString());
        return tail;
    }
    const qint64 size = file.size();
    const qint64 start = std::max<qint64>(size - std::max<qint64>(maxBytes, 0), 0);
    // The byte before the bound tells whether the first line read starts whole.
    QByteArray before;
    if (start > 0 && file.seek(start - 1)) before = file.read(1);
    QByteArray bytes;
    if (file.seek(start)) bytes = file.read(size - start);
    if (file.error() != QFileDevice::NoError) {
        tail.error = QStringLiteral("The journal %1 cannot be read: %2.").arg(path, file.errorString());
        return tail;
    }
    if (start > 0 && before != "\n") {
        const qsizetype end = bytes.indexOf('\n');
        bytes = end < 0 ? QByteArray() : bytes.mid(end + 1);
    }
    for (const QByteArray& line : bytes.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 7) continue;
        const QDateTime when = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODate);
        if (!when.isValid()) continue;
        JournalEntry entry{Unfield(fields[1]), Unfield(fields[2]), Unfield(fields[3]), {},
                           fields[5] == "ok", Unfield(fields[6])};
        if (const QString files = Unfield(fields[4]); !files.isEmpty()) entry.files << files;
        tail.records.append({when, entry});
    }
    return tail;
}
