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
