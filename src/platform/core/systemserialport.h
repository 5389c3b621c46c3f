#pragma once

#include "platform/linesettings.h"
#include "platform/portmap.h"
#include "platform/serialport.h"

#include <QSerialPort>

namespace torvika {

// The program's serial port over QSerialPort.
class SystemSerialPort final : public SerialPort {
public:
    // Caps what a flooding peer can make the port hold in memory.
    static constexpr qint64 ReadBufferSize = 4096;

    explicit SystemSerialPort(PortMap map = {});
    ~SystemSerialPort() override;

    void setCommPort(int portNumber) override;
    int commPort() const override { return portNumber_; }
    QString deviceName() const override { return map_.deviceFor(portNumber_); }
    QString deviceFor(int portNumber) const override { return map_.deviceFor(portNumber); }

    void setSettings(const QString &settings) override { settings_ = settings; }
    QString settings() const override { return settings_; }
    void setInputModeBinary() override {}

    bool isOpen() const override { return port_.isOpen(); }
    PortResult open() override;
    void close() override;
    PortResult write(QByteArrayView bytes) override;
    int inBufferCount() override;
    QByteArray input() override;
    void setObserver(PortObserver *observer) override { observer_ = observer; }

    // For a program that exits after writing: blocks until what was written is on the line,
    // so closing (which restores the device's old settings) cannot cut it short.
    void drain();
    // Waits at most `timeoutMs` for received bytes; true when some are waiting.
    bool waitForInput(int timeoutMs);

    // What was asked of QSerialPort at the last open (a pty ignores parity and data bits).
    const QSerialPort &qtPort() const { return port_; }

private:
    PortResult failure(const QString &what);
    void onError(QSerialPort::SerialPortError error);
    // Why the device went away, when the system says; else "".
    QString goneReason() const;
    // Tells the observer of bytes in the read buffer it has not been told of yet.
    void observeArrivals();

    PortMap map_;
    int portNumber_ = 1;
    QString settings_ = protocol::lineSettingsText(protocol::ModuleSpeedLow);
    QSerialPort port_;
    PortObserver *observer_ = nullptr;
    // How many of the bytes waiting in port_ the observer has been told of.
    qint64 observed_ = 0;
};

} // namespace torvika
