#pragma once

#include "protocol/commands.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The module's side of the line: bytes in, frames with their meaning out. Pure, no I/O.
namespace torvika::protocol {

struct DecodedFrame {
    enum class Kind {
        Text,       // 32..255 except the prefix
        CustomChar, // 0..7: insert a user character
        Control,    // 8, 11..15
        Command,    // prefix, command byte, arguments
        Unknown,    // bytes that could not be placed
    };
    Kind kind = Kind::Unknown;
    QByteArray bytes;

    std::uint8_t first() const { return static_cast<std::uint8_t>(bytes.at(0)); }
    // The command byte of a Command frame.
    std::uint8_t command() const { return static_cast<std::uint8_t>(bytes.at(1)); }
    std::uint8_t arg(int i) const { return static_cast<std::uint8_t>(bytes.at(2 + i)); }
    // The rows of a well-formed startup screen frame.
    QByteArray startupRow(int row) const;

    // "FE 32 01 0F  cursor to row 1, column 15"
    QString hex() const;
    QString meaning() const;
    QString describe() const { return hex() + QStringLiteral("  ") + meaning(); }
    friend bool operator==(const DecodedFrame &, const DecodedFrame &) = default;
};

// Text frames that follow one another joined into one, as text typed in a row reads.
QList<DecodedFrame> joinTextRuns(const QList<DecodedFrame> &frames);

// Fed bytes in any chunks, yields whole frames. Every byte ends up in exactly one frame or
// in pending(); an unknown command byte or a startup frame that runs on without its end is
// reported as Unknown, and decoding starts afresh with the next byte.
class FrameDecoder {
public:
    QList<DecodedFrame> feed(QByteArrayView bytes);
    // The start of a frame still waiting for its remaining bytes.
    const QByteArray &pending() const { return pending_; }
    // Reports what is pending as an Unknown (truncated) frame and starts afresh.
    std::optional<DecodedFrame> flush();

private:
    void take(std::uint8_t byte, QList<DecodedFrame> &out);
    void finish(DecodedFrame::Kind kind, QList<DecodedFrame> &out);

    QByteArray pending_;
    int needed_ = 0; // remaining argument bytes of the pending command; UpToEndByte: up to FF
};

} // namespace torvika::protocol
