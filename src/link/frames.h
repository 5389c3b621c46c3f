#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The command set of the main window: every frame it sends, built from a control's index or
// a list's selected position. Pure, no widgets.
namespace torvika::frames {

constexpr std::uint8_t CommandPrefix = 254;
constexpr int MaxFrameSize = 4;

struct Frame {
    std::array<std::uint8_t, MaxFrameSize> bytes{};
    int size = 0;

    QByteArrayView view() const {
        return {reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(size)};
    }
    friend bool operator==(const Frame &, const Frame &) = default;
};

// A computed value as a byte: 0..255 only. Anything else is never wrapped or clamped; it
// cannot be sent.
std::optional<std::uint8_t> toByte(int value);

// Each builder yields no frame when a computed byte is out of range.
std::optional<Frame> insertCustomChar(int index);    // [index]
std::optional<Frame> lcdControl(int index);          // [index + 11]: home, next line, clear
Frame backspace();                                   // [8]
Frame cursorLeft();                                  // [14]
Frame cursorRight();                                 // [15]
std::optional<Frame> textChar(int code);             // [code], 32..255
std::optional<Frame> cursorStyle(int position);      // [254, position + 1]
Frame initGraph();                                   // [254, 4]
std::optional<Frame> backlight(int index);           // [254, index + 6]: on, off
Frame loadCustomChars();                             // [254, 8]
Frame readInputs();                                  // [254, 10]
Frame saveSettings();                                // [254, 20, 13]
Frame showStartupScreen();                           // [254, 22]
std::optional<Frame> setBrightness(int level);       // [254, 40, level]
std::optional<Frame> graph(int index, int position); // [254, index + 43, position + 1]
std::optional<Frame> clearRowOrColumn(int index, int position); // [254, index + 45, position]
std::optional<Frame> setOutputs(std::uint8_t mask);             // [254, 47, mask]
std::optional<Frame> setCursorPosition(int row, int column);    // [254, 50, row, column]

// Bit 0..2 set for Output 1..3 whose list shows "ON".
std::uint8_t outputMask(bool output1On, bool output2On, bool output3On);

// The one reply: bits 0..2 are Inputs 1..3; bits 3..7 are ignored.
std::array<bool, 3> decodeInputs(std::uint8_t reply);
inline QString inputText(bool high) {
    return high ? QStringLiteral("HIGH") : QStringLiteral("LOW");
}

// Text sent straight to the port after the save frame.
inline constexpr QByteArrayView SettingsSavedText = "Settings Saved";

} // namespace torvika::frames
