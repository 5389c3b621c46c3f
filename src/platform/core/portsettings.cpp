#include "platform/portsettings.h"

#include "settings/startvalues.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace torvika {

PortMap portMapFromSettings(const ModIni &ini) {
    PortMap map;
    for (int n = FirstPort; n <= LastPort; ++n) {
        const QString device = ini.ReadINI(QStringLiteral("Ports"), QString::number(n)).trimmed();
        if (!device.isEmpty())
            map.set(n, device);
    }
    return map;
}

QString portToolTip(int portNumber, const PortDevice &device) {
    if (device.path.isEmpty())
        return QStringLiteral("Port %1: no device").arg(portNumber);
    QString state = device.present ? QStringLiteral("present") : QStringLiteral("not present");
    if (device.present && !device.description.isEmpty())
        state += QStringLiteral(", ") + device.description;
    return QStringLiteral("Port %1: %2 (%3)").arg(portNumber).arg(device.path, state);
}

QList<PortDevice> probePortDevices(const QStringList &paths) {
    const QList<QSerialPortInfo> listed = QSerialPortInfo::availablePorts();
    QList<PortDevice> devices;
    devices.reserve(paths.size());
    for (const QString &path : paths) {
        PortDevice device{path, false, {}};
        const QFileInfo info(path);
        device.present = !path.isEmpty() && info.exists() && !info.isFile() && !info.isDir();
        if (device.present) {
            // Names under /dev/serial/by-id are links; the system lists what they point to.
            const QString target = info.canonicalFilePath();
            for (const QSerialPortInfo &port : listed) {
                if (port.systemLocation() == target || port.systemLocation() == path) {
                    device.description = port.description();
                    break;
                }
            }
        }
        devices.append(device);
    }
    return devices;
}

} // namespace torvika
