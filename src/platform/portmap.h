#pragma once

#include <QMap>
#include <QString>

namespace torvika {

// Port numbers 1..20 to device paths. Without an entry port n is the n-th built-in serial
// port, /dev/ttyS<n-1>.
class PortMap {
public:
    void set(int portNumber, const QString &device);
    QString deviceFor(int portNumber) const;
    bool hasEntry(int portNumber) const { return entries_.contains(portNumber); }

private:
    QMap<int, QString> entries_;
};

} // namespace torvika
