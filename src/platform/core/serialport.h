#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace torvika {

// Outcome of opening or writing the port. `reason` is the system's account of a failure
// (device path, permission, busy...), for the informative line under the fixed message.
struct PortResult {
    bool ok = true;
    QString reason;

    static PortResult success() { return {}; }
    static PortResult failure(QString why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

// Told what happens on the line, without taking part in it.
class PortObserver {
public:
    virtual ~PortObserver() = default;
    // Bytes as they come in; they stay waiting for input() all the same.
    virtual void bytesArrived(QByteArrayView bytes) = 0;
    // The port closed itself: the device hung up or went away.
    virtual void portLost(const QString &reason) = 0;
};

// The operations the program uses on its one serial port, as the original serial
// component offered them. Implemented over QSerialPort, and by a recording double in tests.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Port number 1..20; the device it stands for comes from the "Ports" mapping.
    virtual void setCommPort(int portNumber) = 0;
    virtual int commPort() const = 0;
    // Device path the current port number maps to (for messages and tooltips).
    virtual QString deviceName() const = 0;
    // Device path any port number maps to.
    virtual QString deviceFor(int portNumber) const = 0;

    // Line settings text such as "9600,n,8,1"; checked when the port is opened.
    virtual void setSettings(const QString &settings) = 0;
    virtual QString settings() const = 0;

    // Received data is delivered as raw bytes.
    virtual void setInputModeBinary() = 0;

    virtual bool isOpen() const = 0;
    virtual PortResult open() = 0;
    virtual void close() = 0;

    // Writes all of `bytes` and hands them to the OS at once. Fails on a closed port.
    virtual PortResult write(QByteArrayView bytes) = 0;

    // Number of received bytes waiting, and taking all of them.
    virtual int inBufferCount() = 0;
    virtual QByteArray input() = 0;

    // At most one observer; nullptr removes it. A port that sees no arrivals ignores it.
    virtual void setObserver(PortObserver *observer) { (void)observer; }
};

} // namespace torvika
