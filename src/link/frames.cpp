#include "link/frames.h"

#include <initializer_list>

namespace torvika::frames {

namespace {

Frame fixed(std::initializer_list<std::uint8_t> bytes) {
    Frame f;
    for (const std::uint8_t b : bytes)
        f.bytes[static_cast<std::size_t>(f.size++)] = b;
    return f;
}

// The frame of the given computed values, or none when one of them is no byte.
std::optional<Frame> computed(std::initializer_list<int> values) {
    Frame f;
    for (const int v : values) {
        const std::optional<std::uint8_t> b = toByte(v);
        if (!b)
            return std::nullopt;
        f.bytes[static_cast<std::size_t>(f.size++)] = *b;
    }
    return f;
}

} // namespace

std::optional<std::uint8_t> toByte(int value) {
    if (value < 0 || value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::optional<Frame> insertCustomChar(int index) {
    return computed({index});
}
std::optional<Frame> lcdControl(int index) {
    return computed({index + 11});
}
Frame backspace() {
    return fixed({8});
}
Frame cursorLeft() {
    return fixed({14});
}
Frame cursorRight() {
    return fixed({15});
}

std::optional<Frame> textChar(int code) {
    if (code < 32)
        return std::nullopt;
    return computed({code});
}

std::optional<Frame> cursorStyle(int position) {
    return computed({CommandPrefix, position + 1});
}
Frame initGraph() {
    return fixed({CommandPrefix, 4});
}
std::optional<Frame> backlight(int index) {
    return computed({CommandPrefix, index + 6});
}
Frame loadCustomChars() {
    return fixed({CommandPrefix, 8});
}
Frame readInputs() {
    return fixed({CommandPrefix, 10});
}
Frame saveSettings() {
    return fixed({CommandPrefix, 20, 13});
}
Frame showStartupScreen() {
    return fixed({CommandPrefix, 22});
}

std::optional<Frame> setBrightness(int level) {
    return computed({CommandPrefix, 40, level});
}

std::optional<Frame> graph(int index, int position) {
    return computed({CommandPrefix, index + 43, position + 1});
}

std::optional<Frame> clearRowOrColumn(int index, int position) {
    return computed({CommandPrefix, index + 45, position});
}

std::optional<Frame> setOutputs(std::uint8_t mask) {
    return computed({CommandPrefix, 47, mask});
}

std::optional<Frame> setCursorPosition(int row, int column) {
    return computed({CommandPrefix, 50, row, column});
}

std::uint8_t outputMask(bool output1On, bool output2On, bool output3On) {
    std::uint8_t mask = 0;
    if (output1On)
        mask |= 1;
    if (output2On)
        mask |= 2;
    if (output3On)
        mask |= 4;
    return mask;
}

std::array<bool, 3> decodeInputs(std::uint8_t reply) {
    return {(reply & 1) != 0, (reply & 2) != 0, (reply & 4) != 0};
}

} // namespace torvika::frames
