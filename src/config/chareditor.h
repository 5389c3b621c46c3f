#pragma once

#include "protocol/charcodec.h"

#include <QString>

#include <array>
#include <cstdint>
#include <deque>

namespace torvika {

// What the grid's transforms do to the drawing. A shift loses the row or column that leaves
// the grid and brings in an unlit one.
enum class Transform {
    Invert,
    ShiftUp,
    ShiftDown,
    ShiftLeft,
    ShiftRight,
    MirrorLeftRight,
    MirrorTopBottom
};
protocol::CharBitmap transformed(const protocol::CharBitmap &rows, Transform transform);

// The character being drawn (UDRow) and the eight stored slots (UDBitmap). Row 0 is the top
// row; in each row bit 4 (weight 16) is the leftmost pixel and bit 0 the rightmost.
//
// Every change of the drawing is one step that undo() takes back; a change that leaves the
// drawing as it was is none.
class CharEditor {
public:
    static constexpr int Rows = protocol::CharRows;
    static constexpr int Slots = protocol::UserChars;
    static constexpr std::uint8_t FullRow = protocol::FullCharRow;
    // The pixels of a row from left to right, each as its bit's weight.
    static constexpr std::array<int, 5> Weights{16, 8, 4, 2, 1};
    // Older steps are forgotten beyond this many.
    static constexpr std::size_t MaxSteps = 1000;

    // Flips the pixel of weight `weight` (16, 8, 4, 2 or 1) in `row`; others are ignored.
    void toggle(int row, int weight);
    void setAll();
    void clearAll();
    void setDrawing(const protocol::CharBitmap &rows);
    void transform(Transform t) { setDrawing(transformed(UDRow, t)); }
    // Brings slot N's stored character back into the drawing; any other N does nothing.
    void recall(int slot);
    // Sets one pixel during a stroke of the mouse; the whole stroke is one step, which the
    // stroke's first pixel begins.
    void paint(int row, int weight, bool lit, bool firstOfStroke);

    bool undo();
    bool redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Copies the drawing into slot N (0..7); any other N does nothing.
    void store(int slot);

    std::uint8_t row(int r) const { return UDRow[static_cast<std::size_t>(r)]; }
    bool lit(int r, int weight) const { return (row(r) & weight) != 0; }
    const protocol::Bitmaps &bitmaps() const { return UDBitmap; }

    // "0x" and the row's value in upper-case hex without leading zeros ("0x0", "0x1F").
    static QString rowText(std::uint8_t value);
    // What a cleared row shows after loading and after Clear All.
    static QString clearedRowText() { return QStringLiteral("0x00"); }

    protocol::CharBitmap UDRow{};
    protocol::Bitmaps UDBitmap{};

private:
    void record();
    static bool isWeight(int weight);

    std::deque<protocol::CharBitmap> undo_, redo_;
};

} // namespace torvika
