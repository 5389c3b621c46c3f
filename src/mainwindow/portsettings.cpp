#include "mainwindow/portsettings.h"

#include "mainwindow/startvalues.h"

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

} // namespace torvika
