#pragma once

#include "protocol/commands.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Every frame the panel sends, built from a control's index, a list's selected position or
// the dialog's contents. Pure, no widgets.
namespace torvika::protocol {

// A main-window frame: what a command handler puts into the transmit buffer.
constexpr int MaxFrameSize = 4;
struct Frame {
    std::array<std::uint8_t, MaxFrameSize> bytes{};
    int size = 0;

    QByteArray toByteArray() const {
        return {reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(size)};
    }
    friend bool operator==(const Frame &, const Frame &) = default;
};

// Each builder yields no frame when an index or an argument is outside the range the command
// table gives it. The control arrays keep their arithmetic: the first command of the array plus
// the button's Index.
std::optional<Frame> insertCustomChar(int index); // [index]
std::optional<Frame> lcdControl(int index);       // [CursorHome + index]
Frame backspace();
Frame cursorLeft();
Frame cursorRight();
std::optional<Frame> textChar(int code);        // [code], 32..255
std::optional<Frame> cursorStyle(int position); // [FE, CursorUnderline + position]
Frame initGraph();
std::optional<Frame> backlight(int index); // [FE, BacklightOn + index]
Frame loadCustomChars();
Frame readInputs();
Frame saveSettings(); // [FE, SaveSettings, ClearScreen]
Frame showStartupScreen();
std::optional<Frame> setBrightness(int level);       // [FE, SetBrightness, level]
std::optional<Frame> graph(int index, int position); // [FE, GraphLeftToRight + index, position + 1]
std::optional<Frame> clearRowOrColumn(int index, int position); // [FE, ClearRow + index, position]
std::optional<Frame> setOutputs(std::uint8_t mask);
std::optional<Frame> setCursorPosition(int row, int column);

// Bit 0..2 set for Output 1..3 that is switched on.
std::uint8_t outputMask(bool output1On, bool output2On, bool output3On);

// The one reply: bits 0..2 are Inputs 1..3; bits 3..7 are ignored.
std::array<bool, Inputs> decodeInputs(std::uint8_t reply);
inline QString inputText(bool high) {
    return high ? QStringLiteral("HIGH") : QStringLiteral("LOW");
}
// Each input as its number, the joiner and its level, the inputs apart by the separator:
// inputLevels(5, u" ", u", ") is "1 HIGH, 2 LOW, 3 HIGH".
QString inputLevels(std::uint8_t reply, QStringView joiner, QStringView separator);
// "inputs: 1 HIGH, 2 LOW, 3 HIGH"
QString inputsMeaning(std::uint8_t reply);

// Texts the module shows as confirmation, sent straight after their frames.
inline constexpr QByteArrayView SettingsSavedText = "Settings Saved";
inline constexpr QByteArrayView StartupErasedText = "Startup Screen Erased";
QByteArray speedSetText(int speed); // "BR Set : 9600"

// What a typed text sends: one text byte per character; keys that make no character (control
// codes, Delete) are skipped. A character above 255 cannot be carried: nothing is sent then.
struct TypedText {
    QByteArray bytes;
    QString problem; // why nothing is sent; empty when the text can go out
};
TypedText typedText(const QString &typed);

// Configuration dialog frames, written straight to the port.

// Eight characters of eight rows each, top row first; bits 4..0 are the pixel columns.
using Bitmaps = std::array<std::uint8_t, UserChars * CharRows>;
constexpr int CustomCharFrameSize = 2 + UserChars * CharRows;

// FE 64 and the 64 bitmap bytes, character 0 first.
QByteArray customCharBitmaps(const Bitmaps &bitmaps);
// The same frame cut into its eight writes: 10 bytes (prefix, command, character 0), then
// one write of 8 bytes for each further character.
QList<QByteArray> customCharWrites(const Bitmaps &bitmaps);

struct StartupScreen {
    QByteArray frame; // FE C8, row 0, 0D, row 1, FF; empty when the text cannot be carried
    QString problem;  // why not, naming the row and the character
};
// The rows' characters go out as typed, one byte each. A character the frame cannot carry
// (0x0D and 0xFF separate and end it; above 255 is no byte), an empty row 0 or a row over 16
// characters makes no frame.
StartupScreen setStartupScreen(const QString &row0, const QString &row1);

QList<QByteArray> eraseStartupScreenWrites(); // FE 15 0D, "Startup Screen Erased"
// ClearScreen, SetBaud9600 or SetBaud19200, "BR Set : <speed>"; empty for another speed.
QList<QByteArray> moduleSpeedWrites(int speed);

} // namespace torvika::protocol
