#include "platform/PcFileSystem.h"

#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/types.h>

bool IsPcFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    return !name.contains(u'/') && !name.contains(QChar(0));
}

bool IsPlainFileName(const QString& name) {
    return IsPcFileName(name) && !name.contains(u'\\');
}

bool IsProcessGone(qint64 pid) {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

void PcFileSystem::CopyFiles(const QList<std::pair<QString, QString>>& copies,
                             const std::function<bool(qsizetype)>& before,
                             const std::function<void(qsizetype, int)>& after) {
    for (qsizetype i = 0; i < copies.size(); ++i) {
        if (!before(i)) return;
        const int code = CopyFile(copies[i].first, copies[i].second, false);
        after(i, code);
        if (code != kPcSuccess) return;
    }
}
