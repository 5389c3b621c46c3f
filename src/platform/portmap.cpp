#include "platform/portmap.h"

namespace torvika {

void PortMap::set(int portNumber, const QString &device) {
    const QString path = device.trimmed();
    if (path.isEmpty())
        entries_.remove(portNumber);
    else
        entries_.insert(portNumber, path);
}

QString PortMap::deviceFor(int portNumber) const {
    const auto found = entries_.constFind(portNumber);
    if (found != entries_.constEnd())
        return *found;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

} // namespace torvika
