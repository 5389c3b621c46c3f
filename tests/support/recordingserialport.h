#pragma once

#include "platform/serialport.h"

#include <QList>

namespace torvika::test {

// A serial port that records every write (one entry per write, so write boundaries can be
// checked), can refuse to open, fail the write of the k-th byte, and deliver scripted replies.
class RecordingSerialPort final : public SerialPort {
public:
    void setCommPort(int portNumber) override { port = portNumber; }
    int commPort() const override { return port; }
    QString deviceName() const override { return deviceFor(port); }
    QString deviceFor(int portNumber) const override {
        return QStringLiteral("/dev/recorded%1").arg(portNumber);
    }
    void setSettings(const QString &text) override { settingsText = text; }
    QString settings() const override { return settingsText; }
    void setInputModeBinary() override { binary = true; }
    bool isOpen() const override { return open_; }
    PortResult open() override;
    void close() override;
    PortResult write(QByteArrayView bytes) override;
    int inBufferCount() override { return static_cast<int>(received.size()); }
    QByteArray input() override { return std::exchange(received, {}); }

    // All bytes written, in order.
    QByteArray written() const;

    // Script.
    QString failOpenReason; // non-empty: open() fails with it
    qint64 failAtByte = -1; // 0-based index over all bytes ever written that fails
    QByteArray received;    // bytes waiting to be read

    // Record.
    QList<QByteArray> writes;
    int opens = 0, closes = 0;
    int port = 1;
    QString settingsText = QStringLiteral("9600,n,8,1");
    bool binary = false;

private:
    bool open_ = false;
    qint64 bytesSoFar_ = 0;
};

} // namespace torvika::test
