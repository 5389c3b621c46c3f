#pragma once

#include "platform/portmap.h"
#include "settings/modini.h"

namespace torvika {

// Port numbers mapped to devices by the settings file's "Ports" section ("1=/dev/ttyUSB0").
PortMap portMapFromSettings(const ModIni &ini);

// What the port list says of one entry: the device it stands for and whether that device is
// there now, with the system's description of it when it has one.
struct PortDevice {
    QString path;
    bool present = false;
    QString description; // e.g. "FT232R USB UART"; may be empty
};
QString portToolTip(int portNumber, const PortDevice &device);

// Looks the devices up now: the files, and the serial ports the system lists (asked once).
QList<PortDevice> probePortDevices(const QStringList &paths);

} // namespace torvika
