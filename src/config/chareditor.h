#pragma once

#include "protocol/frames.h"

#include <QString>

#include <array>
#include <cstdint>

namespace torvika {

// The character being drawn (UDRow) and the eight stored slots (UDBitmap). Row 0 is the top
// row; in each row bit 4 (weight 16) is the leftmost pixel and bit 0 the rightmost.
class CharEditor {
public:
    static constexpr int Rows = protocol::CharRows;
    static constexpr int Slots = protocol::UserChars;
    static constexpr std::uint8_t FullRow = protocol::FullCharRow;

    // Flips the pixel of weight `weight` (16, 8, 4, 2 or 1) in `row`; others are ignored.
    void toggle(int row, int weight);
    void setAll();
    void clearAll();
    // Copies the drawing into slot N (0..7); any other N does nothing.
    void store(int slot);

    std::uint8_t row(int r) const { return UDRow[static_cast<std::size_t>(r)]; }
    bool lit(int r, int weight) const { return (row(r) & weight) != 0; }
    const protocol::Bitmaps &bitmaps() const { return UDBitmap; }

    // "0x" and the row's value in upper-case hex without leading zeros ("0x0", "0x1F").
    static QString rowText(std::uint8_t value);
    // What a cleared row shows after loading and after Clear All.
    static QString clearedRowText() { return QStringLiteral("0x00"); }

    std::array<std::uint8_t, Rows> UDRow{};
    protocol::Bitmaps UDBitmap{};
};

} // namespace torvika
