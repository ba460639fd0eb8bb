#include "platform/Journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
