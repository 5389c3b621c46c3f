#include "platform/deviceholder.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace torvika {

QString deviceHolder(const QString &device) {
    struct stat wanted {};
    if (::stat(QFile::encodeName(device).constData(), &wanted) != 0 || !S_ISCHR(wanted.st_mode))
        return {};
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        pid.toLongLong(&isNumber);
        if (!isNumber)
            continue;
        // Another user's descriptors cannot be listed; that holder stays "another program".
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            struct stat held {};
            if (::stat(QFile::encodeName(fds.filePath(fd)).constData(), &held) != 0 ||
                !S_ISCHR(held.st_mode) || held.st_rdev != wanted.st_rdev)
                continue;
            QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
            const QString name = comm.open(QIODevice::ReadOnly)
                                     ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                     : QString();
            return QStringLiteral("%1, process %2")
                .arg(name.isEmpty() ? QStringLiteral("a program") : name, pid);
        }
    }
    return {};
}

} // namespace torvika
