#include "platform/portmap.h"

namespace torvika {

void PortMap::set(int portNumber, const QString &device) {
    QString path = device.trimmed();
    if (path.isEmpty()) {
        entries_.remove(portNumber);
        return;
    }
    if (!path.contains(u'/'))
        path.prepend(QStringLiteral("/dev/"));
    entries_.insert(portNumber, path);
}

QString PortMap::deviceFor(int portNumber) const {
    const auto found = entries_.constFind(portNumber);
    if (found != entries_.constEnd())
        return *found;
    if (portNumber < 1)
        return {};
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

} // namespace torvika
