#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

// The display's command set as data: every command byte, its argument count, its name and how
// its arguments read. Builders, the decoder and every range check take their facts from here.
namespace torvika::protocol {

// Opens a command: the prefix, one command byte, then the command's arguments.
constexpr std::uint8_t CommandPrefix = 0xFE;

// Bytes that stand alone. 0..7 insert a user character; 32..255 are text.
constexpr std::uint8_t LastCustomCharByte = 7;
constexpr std::uint8_t FirstTextByte = 32;
enum class Control : std::uint8_t {
    Backspace = 8,
    CursorHome = 11,
    NextLine = 12,
    ClearScreen = 13,
    CursorLeft = 14,
    CursorRight = 15,
};

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

constexpr std::uint8_t byteOf(Command c) {
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t byteOf(Control c) {
    return static_cast<std::uint8_t>(c);
}

// How a command's argument bytes fill in its reading.
enum class ArgumentForm {
    Plain,      // the reading has no place for them
    Numbers,    // %1, %2: the bytes as decimal numbers
    OutputMask, // %1: the outputs switched on ("1-3")
    StartupRows // %1, %2: the two rows' text
};

// Argument count of the startup screen: its text runs up to its end byte.
constexpr int UpToEndByte = -1;

// The values a numeric argument may take.
struct ArgumentRange {
    int min = 0, max = 255;
};

struct CommandSpec {
    Command command;
    int arguments; // bytes after the command byte, or UpToEndByte
    const char *name;
    const char *reading; // "cursor to row %1, column %2"
    ArgumentForm form;
    ArgumentRange first{}, second{}; // the ranges of the first two arguments
};

struct ControlSpec {
    Control control;
    const char *name;
    const char *reading;
};

std::span<const CommandSpec> commandTable();
std::span<const ControlSpec> controlTable();
// nullptr for a byte that is no command / no control byte.
const CommandSpec *findCommand(std::uint8_t commandByte);
const ControlSpec *findControl(std::uint8_t byte);
// Whether `value` lies in the range of the command's argument `argument` (0-based).
bool argumentFits(Command command, int argument, int value);

// What the display and its commands hold.
constexpr int DisplayRows = 2;
constexpr int DisplayColumns = 16;
constexpr int UserChars = 8;
constexpr int CharRows = 8;
constexpr int CharColumns = 5;
constexpr std::uint8_t FullCharRow = 0x1F;
constexpr int MinBrightness = 50, MaxBrightness = 250, DefaultBrightness = 155;
// A bar graph is counted in pixel columns: five to a character cell.
constexpr int MinGraphWidth = 1, MaxGraphWidth = DisplayColumns * CharColumns;
constexpr int Outputs = 3, Inputs = 3;
// Startup screen frame: row 0 (1..16 characters), separator, row 1 (0..16), end byte.
constexpr int StartupRowLength = 16;
constexpr std::uint8_t StartupRowSeparator = byteOf(Control::ClearScreen);
constexpr std::uint8_t StartupEnd = 0xFF;
constexpr int MaxStartupFrame = 2 + 2 * StartupRowLength + 2;
// The two line speeds the module can be told to use; it starts at the first. Its line has no
// parity, 8 data bits and 1 stop bit.
constexpr int ModuleSpeedLow = 9600, ModuleSpeedHigh = 19200;
inline QString lineSettingsText(int speed) {
    return QString::number(speed) + QStringLiteral(",n,8,1");
}

// A computed value as a byte: 0..255 only. Anything else is never wrapped or clamped; it
// cannot be sent.
std::optional<std::uint8_t> toByte(int value);

} // namespace torvika::protocol
