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

    // The state the Encoder turns into bytes (implementation's choice; tests and the encoder
    // read it).
    struct Cell;
    // ... declared by the implementation
};

// The module's brightness (50..250) for an LCDd level (1..1000); 0 means the backlight off.
int moduleBrightness(int promille);

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
};

} // namespace torvika::lcdd
