#include "trafficlog/displaymirror.h"

#include "platform/linesettings.h"

#include <limits>

namespace torvika::trafficlog {

namespace {

constexpr quint64 Open = std::numeric_limits<quint64>::max();

} // namespace

DisplayMirror::DisplayMirror(TrafficRecorder &recorder, QObject *parent)
    : QObject(parent), recorder_(recorder) {
    connect(&recorder_, &TrafficRecorder::recorded, this, [this] {
        // One pass after the handler that wrote, not one per byte.
        if (std::exchange(scheduled_, true))
            return;
        QMetaObject::invokeMethod(this, &DisplayMirror::catchUp, Qt::QueuedConnection);
    });
}

void DisplayMirror::catchUp() {
    scheduled_ = false;
    const quint64 end = recorder_.end();
    if (next_ == end)
        return;
    // Entries dropped before they were seen are lost to the mirror too; the ring is far larger
    // than what one pass of the event loop can record.
    for (quint64 s = qMax(next_, recorder_.firstKept()); s != end; ++s)
        take(s, recorder_.at(s));
    next_ = end;
    emit changed();
}

void DisplayMirror::take(quint64 serial, const TrafficEntry &entry) {
    using Kind = TrafficEntry::Kind;
    if (entry.kind == Kind::LineSettings) {
        const LineSettingsParse parsed = parseLineSettings(entry.text);
        portSpeed_ = parsed.settings ? parsed.settings->baudRate : 0;
        updateTrap(serial);
        return;
    }
    if (entry.kind != Kind::Sent)
        return;
    for (const protocol::DecodedFrame &frame : decoder_.feed(entry.bytes)) {
        model_.apply(frame);
        if (frame.kind != protocol::DecodedFrame::Kind::Command)
            continue;
        if (frame.command() == protocol::byteOf(protocol::Command::SetBaud9600))
            toldSpeed_ = protocol::ModuleSpeedLow;
        else if (frame.command() == protocol::byteOf(protocol::Command::SetBaud19200))
            toldSpeed_ = protocol::ModuleSpeedHigh;
        else
            continue;
        // The module changes speed after this entry: what follows is sent into the trap.
        updateTrap(serial + 1);
    }
}

void DisplayMirror::updateTrap(quint64 serial) {
    const bool trapped = toldSpeed_ && portSpeed_ != 0 && *toldSpeed_ != portSpeed_;
    const bool open = !traps_.empty() && traps_.back().to == Open;
    if (trapped && !open)
        traps_.push_back({serial, Open});
    else if (!trapped && open)
        traps_.back().to = serial;
    // Spans before what the recorder still keeps are of no use to anyone.
    while (!traps_.empty() && traps_.front().to != Open &&
           traps_.front().to <= recorder_.firstKept())
        traps_.erase(traps_.begin());
}

QString DisplayMirror::trapText() const {
    if (traps_.empty() || traps_.back().to != Open)
        return {};
    return QStringLiteral("The module was told to use %1 bit/s; the panel sends at %2 bit/s: "
                          "choose %1 bps in Comm Port Settings")
        .arg(*toldSpeed_)
        .arg(portSpeed_);
}

bool DisplayMirror::trapAt(quint64 serial) const {
    for (const Span &span : traps_)
        if (serial >= span.from && serial < span.to)
            return true;
    return false;
}

} // namespace torvika::trafficlog
