#pragma once

#include "protocol/commands.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <string_view>

// What the LCDd driver sends for a frame: pure, no GUI, no event loop, no thread. The driver's
// C entry points (app/lcdd-driver) hand every LCDd call to a Frame and, at each flush, send the
// bytes an Encoder makes of it.
namespace torvika::lcdd {

constexpr int Width = protocol::DisplayColumns;
constexpr int Height = protocol::DisplayRows;
constexpr int CellWidth = protocol::CharColumns;
constexpr int CellHeight = protocol::CharRows;
// LCDd's scale for brightness, contrast and bar fill.
constexpr int Promille = 1000;

// Rows top first, the low five bits the pixel columns (bit 4 the leftmost).
using Glyph = std::array<std::uint8_t, CellHeight>;

// LCDd's cursor types.
enum class CursorType { Off = 0, On = 1, Block = 4, Underline = 5 };

// The module's brightness (50..250) for an LCDd level (1..1000); 0 means the backlight off.
int moduleBrightness(int promille);

// One frame as LCDd composes it between two flushes. Places are 1-based, as LCDd passes them;
// whatever falls outside the display is clipped, never an error. clear() blanks the cells only:
// cursor, backlight, brightness levels, outputs and the clients' own characters persist until
// set again, as LCDd expects.
class Frame {
public:
    Frame();

    void clear();
    void string(int x, int y, std::string_view text);
    void chr(int x, int y, char c);
    void hbar(int x, int y, int len, int promille, int options);
    void vbar(int x, int y, int len, int promille, int options);
    void num(int x, int digit);          // 0..9, 10 = colon, over both rows
    void heartbeat(int state);           // 1 on, 0 off: drawn in the top right cell
    bool icon(int x, int y, int icon);   // false: not drawn, LCDd puts its stand-in there
    void cursor(int x, int y, int type); // CursorType values
    void setChar(int n, const unsigned char *rows); // a client's own character n (0..7)
    void backlight(int on);
    void setBrightness(int state, int promille); // level while the backlight is on (1) / off (0)
    int brightness(int state) const;
    void output(int state); // bit 0 = output 1

    // What one cell asks for: a character of the module's own (glyph empty), or a drawn
    // glyph that needs one of the eight user characters, with the character shown in its place
    // when the frame needs more glyphs than there are slots.
    enum class Rank : std::uint8_t { Plain, Heartbeat, BigDigit, Bar, Icon, ClientChar };
    struct Cell {
        std::uint8_t code = ' '; // the character, or the glyph's stand-in
        Rank rank = Rank::Plain;
        Glyph glyph{};
        friend bool operator==(const Cell &, const Cell &) = default;
    };

    // 0-based row and column.
    const Cell &cell(int row, int column) const { return cells_[index(row, column)]; }
    // The cursor's 0-based place; its type is Off when it is off or off the display.
    int cursorRow() const { return cursorY_ - 1; }
    int cursorColumn() const { return cursorX_ - 1; }
    CursorType cursorType() const;
    bool backlightOn() const { return backlight_; }
    std::uint8_t outputs() const { return outputs_; }
    // The module's brightness now in effect, 0 when the backlight is dark.
    int moduleLevel() const { return moduleBrightness(brightness(backlight_ ? 1 : 0)); }

private:
    static constexpr int index(int row, int column) { return row * Width + column; }
    void put(int x, int y, const Cell &cell);
    void putCode(int x, int y, std::uint8_t code);
    void putGlyph(int x, int y, const Glyph &glyph, Rank rank, std::uint8_t standIn);

    std::array<Cell, Width * Height> cells_;
    std::array<Glyph, protocol::UserChars> clientChars_{};
    int cursorX_ = 1, cursorY_ = 1;
    int cursorTypeValue_ = 0;
    bool backlight_ = true;
    int brightness_[2] = {0, Promille};
    std::uint8_t outputs_ = 0;
    unsigned heartbeatTicks_ = 0;
};

// Turns frames into the bytes that bring the module from what it shows to what the frame asks
// for: only what changed, through src/protocol's builders. Remembers what the module shows.
class Encoder {
public:
    // The bytes for this frame (empty when nothing changed); afterwards the module is taken to
    // show the frame.
    QByteArray flush(const Frame &frame);
    // What the module shows is unknown (at start, after a reopen): the next flush sends the
    // user characters, the backlight, brightness, outputs, cursor style and every cell.
    void forget();

private:
    using Slots = std::array<Glyph, protocol::UserChars>;
    using Targets = std::array<int, Width * Height>; // a byte for each cell, -1: leave it
    void writeRuns(QByteArray &out, const Targets &targets);
    void moveTo(QByteArray &out, int row, int column);

    bool known_ = false;                      // false: nothing of the module's state is known
    std::array<int, Width * Height> shown_{}; // byte each cell shows, -1 unknown
    Slots slots_{};
    std::array<unsigned, protocol::UserChars> used_{}; // the flush that last wanted each slot
    unsigned flushes_ = 0;
    int row_ = -1, column_ = -1; // the module's cursor, -1 unknown
    int style_ = -1;             // the cursor style command last sent
    int backlight_ = -1, level_ = -1, outputs_ = -1;
};

} // namespace torvika::lcdd
