#pragma once

#include <QMap>
#include <QString>

namespace torvika {

// Port numbers to device paths. Without an entry port n is the n-th built-in serial port,
// /dev/ttyS<n-1>.
class PortMap {
public:
    // A bare name ("ttyUSB0") means the device of that name under /dev, as for QSerialPort.
    // Blanks around the path are dropped; an empty path removes the entry.
    void set(int portNumber, const QString &device);
    // "" for a port number below 1: no device stands for it.
    QString deviceFor(int portNumber) const;

private:
    QMap<int, QString> entries_;
};

} // namespace torvika
