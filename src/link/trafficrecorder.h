#pragma once

#include "platform/serialport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace torvika {

// Who put an entry on record.
enum class TrafficSource : std::uint8_t { MainWindow, Dialog, Module, Port };

struct TrafficEntry {
    enum class Kind : std::uint8_t {
        Sent,         // bytes written to the port
        Received,     // bytes that came in
        PortNumber,   // the port number was set; text: "1 (/dev/ttyS0)"
        LineSettings, // the line settings were set; text: "9600,n,8,1"
        Opened,       // text: device and line settings
        OpenFailed,   // text: why
        Closed,       // text: why, when there is more to say than that it was asked to
        WriteFailed,  // text: why; bytes: what was not written
        Lost,         // the device hung up or went away; text: the system's reason, if any
        // A read took every waiting byte; the panel answers with the first and throws the
        // rest away.
        Taken,
        NoAnswer, // a read found nothing waiting; text: how long it waited
    };
    qint64 timeNs = 0; // monotonic, since the recorder started
    Kind kind = Kind::Sent;
    TrafficSource source = TrafficSource::Port;
    QByteArray bytes;
    QString text;
};

QString sourceName(TrafficSource source);

// Everything that went over the line and what happened to the port, in order and timed. Only
// observes: it never changes what is written or takes what is read. Keeps the most recent
// Capacity entries; each entry has a serial number counted from start, so a reader can tell
// what it has seen and what has been dropped.
class TrafficRecorder final : public QObject, public PortObserver {
    Q_OBJECT
public:
    static constexpr int Capacity = 10000;

    explicit TrafficRecorder(QObject *parent = nullptr);

    void record(TrafficEntry::Kind kind, TrafficSource source, QByteArrayView bytes = {},
                const QString &text = {});

    // Serial numbers: the entries kept are [firstKept(), end()).
    quint64 end() const { return total_; }
    quint64 firstKept() const { return total_ - static_cast<quint64>(size_); }
    const TrafficEntry &at(quint64 serial) const {
        return ring_[static_cast<std::size_t>(serial % Capacity)];
    }

    // PortObserver
    void bytesArrived(QByteArrayView bytes) override;
    void portLost(const QString &reason) override;

signals:
    // After every entry; readers collect what is new when it suits them.
    void recorded();

private:
    QElapsedTimer clock_;
    std::vector<TrafficEntry> ring_;
    quint64 total_ = 0;
    int size_ = 0;
};

// A view of the program's one port for one writer: forwards every operation unchanged and
// puts each write, open and close on record under that writer's name.
class RecordedPort final : public SerialPort {
public:
    RecordedPort(SerialPort &port, TrafficRecorder &recorder, TrafficSource source)
        : port_(port), recorder_(recorder), source_(source) {}

    // Closes an open port and puts the reason on record.
    void closeBecause(const QString &why);

    void setCommPort(int portNumber) override;
    int commPort() const override { return port_.commPort(); }
    QString deviceName() const override { return port_.deviceName(); }
    QString deviceFor(int portNumber) const override { return port_.deviceFor(portNumber); }
    void setSettings(const QString &settings) override;
    QString settings() const override { return port_.settings(); }
    void setInputModeBinary() override { port_.setInputModeBinary(); }
    bool isOpen() const override { return port_.isOpen(); }
    PortResult open() override;
    void close() override { closeBecause({}); }
    PortResult write(QByteArrayView bytes) override;
    int inBufferCount() override { return port_.inBufferCount(); }
    // Puts what the read took on record.
    QByteArray input() override;
    // Puts on record that a read found nothing waiting after `waitedMs`.
    void noAnswer(int waitedMs);

private:
    SerialPort &port_;
    TrafficRecorder &recorder_;
    TrafficSource source_;
};

} // namespace torvika
