#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The module's side of the line: bytes in, frames out. Pure, no I/O.
namespace torvika::vmodule {

constexpr std::uint8_t CommandPrefix = 0xFE;

// Command bytes that follow the prefix.
enum class Command : std::uint8_t {
    CursorUnderline = 1,
    CursorBlockBlinking = 2,
    CursorHide = 3,
    InitGraph = 4,
    BacklightOn = 6,
    BacklightOff = 7,
    LoadCustomChars = 8,
    ReadInputs = 10,
    SaveSettings = 20,
    EraseStartupScreen = 21,
    ShowStartupScreen = 22,
    SetBaud9600 = 30,
    SetBaud19200 = 31,
    SetBrightness = 40,
    GraphLeftToRight = 43,
    GraphRightToLeft = 44,
    ClearRow = 45,
    ClearColumn = 46,
    SetOutputs = 47,
    SetCursorPosition = 50,
    CustomCharBitmaps = 100,
    SetStartupScreen = 200,
};

// Argument bytes after the command byte; -1 for the startup screen (up to its FF), nullopt
// for a byte that is no command.
std::optional<int> argumentCount(std::uint8_t command);

constexpr int StartupRowLength = 16;
// FE C8, two rows of 16, the separator and the end.
constexpr int MaxStartupFrame = 2 + 2 * StartupRowLength + 2;

struct Frame {
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
    QString hex() const { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }
    QString meaning() const;
    QString describe() const { return hex() + QStringLiteral("  ") + meaning(); }
    friend bool operator==(const Frame &, const Frame &) = default;
};

// Fed bytes in any chunks, yields whole frames. Every byte ends up in exactly one frame or
// in pending(); an unknown command byte or a startup frame that runs on without its end is
// reported as Unknown, and decoding starts afresh with the next byte.
class FrameDecoder {
public:
    QList<Frame> feed(QByteArrayView bytes);
    // The start of a frame still waiting for its remaining bytes.
    const QByteArray &pending() const { return pending_; }
    // Reports what is pending as an Unknown (truncated) frame and starts afresh.
    std::optional<Frame> flush();

private:
    void take(std::uint8_t byte, QList<Frame> &out);
    void finish(Frame::Kind kind, QList<Frame> &out);

    QByteArray pending_;
    int needed_ = 0; // remaining argument bytes of the pending command; -1: up to FF
};

} // namespace torvika::vmodule
