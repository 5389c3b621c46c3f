#include "link/trafficrecorder.h"

#include <cstring>

namespace torvika {

QString sourceName(TrafficSource source) {
    switch (source) {
    case TrafficSource::MainWindow:
        return QStringLiteral("main window");
    case TrafficSource::Dialog:
        return QStringLiteral("dialog");
    case TrafficSource::Module:
        return QStringLiteral("module");
    case TrafficSource::Port:
        break;
    }
    return QStringLiteral("port");
}

TrafficRecorder::TrafficRecorder(QObject *parent) : QObject(parent) {
    clock_.start();
}

void TrafficRecorder::record(TrafficEntry::Kind kind, TrafficSource source, QByteArrayView bytes,
                             const QString &text) {
    // The ring grows as entries come, so a panel that sends little holds little; once full,
    // the oldest slot is reused in place.
    if (ring_.size() < std::size_t(Capacity))
        ring_.emplace_back();
    TrafficEntry &e = ring_[static_cast<std::size_t>(total_ % Capacity)];
    e.timeNs = clock_.nsecsElapsed();
    e.kind = kind;
    e.source = source;
    // Same size as before: no allocation when the slot's bytes are not shared.
    e.bytes.resize(bytes.size());
    if (!bytes.isEmpty())
        std::memcpy(e.bytes.data(), bytes.data(), static_cast<std::size_t>(bytes.size()));
    e.text = text;
    ++total_;
    if (size_ < Capacity)
        ++size_;
    emit recorded();
}

void TrafficRecorder::bytesArrived(QByteArrayView bytes) {
    record(TrafficEntry::Kind::Received, TrafficSource::Module, bytes);
}

void TrafficRecorder::portLost(const QString &reason) {
    record(TrafficEntry::Kind::Lost, TrafficSource::Port, {}, reason);
}

void RecordedPort::closeBecause(const QString &why) {
    if (!port_.isOpen())
        return;
    port_.close();
    recorder_.record(TrafficEntry::Kind::Closed, source_, {}, why);
}

void RecordedPort::setCommPort(int portNumber) {
    port_.setCommPort(portNumber);
    recorder_.record(TrafficEntry::Kind::PortNumber, source_, {},
                     QStringLiteral("%1 (%2)").arg(portNumber).arg(port_.deviceName()));
}

void RecordedPort::setSettings(const QString &settings) {
    port_.setSettings(settings);
    recorder_.record(TrafficEntry::Kind::LineSettings, source_, {}, settings);
}

PortResult RecordedPort::open() {
    const bool wasOpen = port_.isOpen();
    const PortResult result = port_.open();
    if (!result)
        recorder_.record(TrafficEntry::Kind::OpenFailed, source_, {},
                         QStringLiteral("port %1 (%2): %3")
                             .arg(port_.commPort())
                             .arg(port_.deviceName(), result.reason));
    else if (!wasOpen)
        recorder_.record(TrafficEntry::Kind::Opened, source_, {},
                         QStringLiteral("port %1 (%2), %3")
                             .arg(port_.commPort())
                             .arg(port_.deviceName(), port_.settings()));
    return result;
}

QByteArray RecordedPort::input() {
    QByteArray taken = port_.input();
    if (!taken.isEmpty())
        recorder_.record(TrafficEntry::Kind::Taken, source_, taken);
    return taken;
}

void RecordedPort::noAnswer(int waitedMs) {
    recorder_.record(TrafficEntry::Kind::NoAnswer, source_, {},
                     QStringLiteral("no answer within %1 ms").arg(waitedMs));
}

PortResult RecordedPort::write(QByteArrayView bytes) {
    // The bytes go out first; the record comes after them and never delays them.
    const bool wasOpen = port_.isOpen();
    const PortResult result = port_.write(bytes);
    if (result) {
        recorder_.record(TrafficEntry::Kind::Sent, source_, bytes);
    } else {
        recorder_.record(TrafficEntry::Kind::WriteFailed, source_, bytes, result.reason);
        if (wasOpen && !port_.isOpen())
            recorder_.record(TrafficEntry::Kind::Closed, TrafficSource::Port, {},
                             QStringLiteral("after the failed write"));
    }
    return result;
}

} // namespace torvika
