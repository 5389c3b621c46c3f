#pragma once

#include "platform/serialport.h"

#include <QList>

#include <utility>

namespace torvika::test {

// A serial port that records every write (one entry each, so write boundaries can be checked)
// and can refuse to open or fail the write of the k-th byte.
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
    void setInputModeBinary() override {}
    bool isOpen() const override { return open_; }
    PortResult open() override {
        if (!failOpenReason.isEmpty())
            return PortResult::failure(failOpenReason);
        ++opens;
        open_ = true;
        return PortResult::success();
    }
    void close() override { open_ = false; }
    PortResult write(QByteArrayView bytes) override {
        if (!open_)
            return PortResult::failure(QStringLiteral("the port is not open"));
        const qsizetype before = written().size(), at = failAtByte - before;
        if (at >= 0 && at < bytes.size()) {
            if (at > 0)
                writes.append(bytes.first(at).toByteArray());
            failAtByte = -1;
            return PortResult::failure(QStringLiteral("write failed"));
        }
        writes.append(bytes.toByteArray());
        return PortResult::success();
    }
    int inBufferCount() override { return 0; }
    QByteArray input() override { return std::exchange(waiting, {}); }

    QByteArray written() const { return writes.join(); }

    QString failOpenReason; // not empty: open() fails with it
    qint64 failAtByte = -1; // 0-based over all bytes written: that byte and its write fail
    QList<QByteArray> writes;
    QByteArray waiting; // what input() gives next
    int opens = 0, port = 1;
    QString settingsText = QStringLiteral("9600,n,8,1");

private:
    bool open_ = false;
};

} // namespace torvika::test
