#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <functional>
#include <optional>

// How far the serial line is behind what the driver wrote, and whether a frame may go out.
namespace torvika::lcdd {

// The bytes written but not yet carried by the line, by the line's own clock: a USB adapter
// takes bytes into its own buffer at once and the device's output queue looks empty, though
// the wire still has them to carry. Ten bits a byte (start, eight data, stop).
class LineBacklog {
public:
    explicit LineBacklog(int bitsPerSecond) : bytesPerSecond_(bitsPerSecond / 10) {}

    void wrote(std::int64_t bytes, std::int64_t nowUs);
    std::int64_t queued(std::int64_t nowUs) const;
    // What the line carries in one of LCDd's frames (8 a second).
    int frameBudget() const { return bytesPerSecond_ / FramesPerSecond; }
    // Milliseconds until the line has carried what is queued now.
    std::int64_t drainMs(std::int64_t nowUs) const;
    void reset() { backlog_ = 0; }

    static constexpr int FramesPerSecond = 8;

private:
    int bytesPerSecond_;
    std::int64_t backlog_ = 0; // bytes at lastUs_
    std::int64_t lastUs_ = 0;
};

// A frame goes out only when what still waits (the device's output queue or the line's
// backlog, whichever is more, and what the device has not taken yet) is at most a frame's worth;
// otherwise the flush is skipped and the newest frame goes out once the line has caught up.
bool mayFlush(std::int64_t deviceQueued, std::int64_t lineQueued, std::int64_t held, int budget);

// What write() says of the bytes it was given: how many the device took (0: it is full), or
// nothing when the device failed.
using Write = std::function<std::optional<std::int64_t>(QByteArrayView)>;

// Gives the held bytes to the device, in order, until it takes no more; what it took leaves
// `held` and counts in the backlog. False when the device failed (held is kept as it was).
bool handOver(QByteArray &held, LineBacklog &backlog, std::int64_t nowUs, const Write &write);

} // namespace torvika::lcdd
