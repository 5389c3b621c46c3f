#pragma once

#include "platform/systemserialport.h"

// The serial port as a program that exits after writing needs it: a write waits for room on
// the line until every byte is out, and closing waits until the bytes have left, so putting
// the device's settings back cannot cut them short.
namespace torvika::sendcli {

// Why a write did not begin: a signal asked the program to end before the frame's first byte.
constexpr const char *EndedBySignal = "ended by a signal";

class DeviceLine final : public SerialPort {
public:
    DeviceLine(const QString &device, const QString &settings);
    ~DeviceLine() override;

    void setCommPort(int portNumber) override { port_.setCommPort(portNumber); }
    int commPort() const override { return port_.commPort(); }
    QString deviceName() const override { return port_.deviceName(); }
    QString deviceFor(int portNumber) const override { return port_.deviceFor(portNumber); }
    void setSettings(const QString &settings) override { port_.setSettings(settings); }
    QString settings() const override { return port_.settings(); }
    void setInputModeBinary() override {}
    bool isOpen() const override { return port_.isOpen(); }
    PortResult open() override { return port_.open(); }
    void close() override;
    // Every byte or a failure; a signal does not cut a frame short (see endsignals.h).
    PortResult write(QByteArrayView bytes) override;
    int inBufferCount() override { return port_.inBufferCount(); }
    QByteArray input() override { return port_.input(); }

    bool waitForInput(int timeoutMs) { return port_.waitForInput(timeoutMs); }

private:
    SystemSerialPort port_;
};

} // namespace torvika::sendcli
