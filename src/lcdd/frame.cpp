#include "lcdd/frame.h"

#include <algorithm>

namespace torvika::lcdd {

namespace {

using protocol::FullCharRow;
constexpr std::uint8_t Blank = ' ';
constexpr std::uint8_t FullBlock = 0xFF;

constexpr Glyph HeartOpen{0x00, 0x0A, 0x15, 0x11, 0x11, 0x0A, 0x04, 0x00};
constexpr Glyph HeartFilled{0x00, 0x0A, 0x1F, 0x1F, 0x1F, 0x0E, 0x04, 0x00};

struct IconGlyph {
    int icon;
    Glyph glyph;
    std::uint8_t standIn;
};
constexpr IconGlyph OneCellIcons[] = {
    {0x108, HeartOpen, '-'},
    {0x109, HeartFilled, '#'},
    {0x110, {0x04, 0x0E, 0x15, 0x04, 0x04, 0x04, 0x04, 0x00}, '^'},
    {0x111, {0x04, 0x04, 0x04, 0x04, 0x15, 0x0E, 0x04, 0x00}, 'v'},
    {0x112, {0x00, 0x04, 0x08, 0x1F, 0x08, 0x04, 0x00, 0x00}, '<'},
    {0x113, {0x00, 0x04, 0x02, 0x1F, 0x02, 0x04, 0x00, 0x00}, '>'},
    {0x120, {0x00, 0x1F, 0x11, 0x11, 0x11, 0x1F, 0x00, 0x00}, 'N'},
    {0x121, {0x00, 0x1F, 0x1B, 0x15, 0x1B, 0x1F, 0x00, 0x00}, 'Y'},
    {0x122, {0x00, 0x1F, 0x15, 0x1B, 0x15, 0x1F, 0x00, 0x00}, 'o'},
    {0x128, {0x10, 0x18, 0x1C, 0x1E, 0x1C, 0x18, 0x10, 0x00}, '>'},
    {0x129, {0x01, 0x03, 0x07, 0x0F, 0x07, 0x03, 0x01, 0x00}, '<'},
    {0x130, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x15, 0x00}, '_'},
};
constexpr int BlockFilled = 0x100;
// From 0x200: stop, pause, play, play backwards, fast forward, fast rewind, next, previous,
// record; plain characters read well enough and keep the user characters free.
constexpr int FirstTwoCellIcon = 0x200;
constexpr const char *TwoCellIcons[] = {"[]", "||", "> ", " <", ">>", "<<", ">|", "|<", "()"};

// Big digits, three cells wide (the colon one) over both rows, from four glyphs and the full
// block so that a clock leaves slots for other glyphs.
constexpr Glyph DigitTop{0x1F, 0x1F, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr Glyph DigitBottom{0x00, 0x00, 0x00, 0x00, 0x00, 0x1F, 0x1F, 0x1F};
constexpr Glyph DigitBoth{0x1F, 0x1F, 0x1F, 0x00, 0x00, 0x1F, 0x1F, 0x1F};
constexpr Glyph DigitDot{0x00, 0x00, 0x00, 0x0E, 0x0E, 0x0E, 0x00, 0x00};
// Per digit its two rows of three cells: F full block, T top, B bottom, X both, space blank.
constexpr const char *DigitShapes[10][2] = {
    {"FTF", "FBF"}, {"TF ", "BFB"}, {"XXF", "FBB"}, {"XXF", "BBF"}, {"FBF", "  F"},
    {"FXX", "BBF"}, {"FXX", "FBF"}, {"TTF", "  F"}, {"FXF", "FBF"}, {"FXF", "BBF"},
};

std::uint8_t harmless(std::uint8_t code) {
    // Control bytes would move the cursor or be refused; the prefix would start a command.
    if (code < protocol::FirstTextByte)
        return Blank;
    if (code == protocol::CommandPrefix)
        return protocol::CommandPrefix - 1;
    return code;
}

} // namespace

int moduleBrightness(int promille) {
    if (promille <= 0)
        return 0;
    const int p = std::min(promille, Promille);
    constexpr int span = protocol::MaxBrightness - protocol::MinBrightness;
    return protocol::MinBrightness + ((p - 1) * span + (Promille - 1) / 2) / (Promille - 1);
}

Frame::Frame() = default;

CursorType Frame::cursorType() const {
    if (cursorX_ < 1 || cursorX_ > Width || cursorY_ < 1 || cursorY_ > Height)
        return CursorType::Off;
    switch (cursorTypeValue_) {
    case static_cast<int>(CursorType::Off):
        return CursorType::Off;
    case static_cast<int>(CursorType::Block):
        return CursorType::Block;
    case static_cast<int>(CursorType::Underline):
        return CursorType::Underline;
    default:
        return CursorType::On;
    }
}

void Frame::put(int x, int y, const Cell &cell) {
    if (x >= 1 && x <= Width && y >= 1 && y <= Height)
        cells_[index(y - 1, x - 1)] = cell;
}

void Frame::putCode(int x, int y, std::uint8_t code) {
    put(x, y, Cell{harmless(code), Rank::Plain, {}});
}

void Frame::putGlyph(int x, int y, const Glyph &glyph, Rank rank, std::uint8_t standIn) {
    // A blank or a full cell is one of the module's own characters: no slot needed.
    if (std::all_of(glyph.begin(), glyph.end(), [](std::uint8_t r) { return r == 0; }))
        putCode(x, y, Blank);
    else if (std::all_of(glyph.begin(), glyph.end(),
                         [](std::uint8_t r) { return r == FullCharRow; }))
        putCode(x, y, FullBlock);
    else
        put(x, y, Cell{standIn, rank, glyph});
}

void Frame::clear() {
    cells_.fill(Cell{});
}

void Frame::chr(int x, int y, char c) {
    const auto code = static_cast<std::uint8_t>(c);
    if (code < protocol::UserChars)
        putGlyph(x, y, clientChars_[code], Rank::ClientChar, '#');
    else
        putCode(x, y, code);
}

void Frame::string(int x, int y, std::string_view text) {
    for (const char c : text) {
        if (x > Width)
            break;
        chr(x++, y, c);
    }
}

void Frame::hbar(int x, int y, int len, int promille, int /*options*/) {
    promille = std::clamp(promille, 0, Promille);
    int pixels = (2 * len * CellWidth + 1) * promille / (2 * Promille);
    for (int i = 0; i < len && pixels > 0; ++i, pixels -= CellWidth) {
        if (pixels >= CellWidth) {
            putCode(x + i, y, FullBlock);
            continue;
        }
        Glyph g;
        g.fill(static_cast<std::uint8_t>((FullCharRow << (CellWidth - pixels)) & FullCharRow));
        putGlyph(x + i, y, g, Rank::Bar, '-');
    }
}

void Frame::vbar(int x, int y, int len, int promille, int /*options*/) {
    promille = std::clamp(promille, 0, Promille);
    int pixels = (2 * len * CellHeight + 1) * promille / (2 * Promille);
    for (int i = 0; i < len && pixels > 0; ++i, pixels -= CellHeight) {
        if (pixels >= CellHeight) {
            putCode(x, y - i, FullBlock);
            continue;
        }
        Glyph g{};
        std::fill(g.end() - pixels, g.end(), FullCharRow);
        putGlyph(x, y - i, g, Rank::Bar, '|');
    }
}

void Frame::num(int x, int digit) {
    if (digit == 10) {
        for (int y = 1; y <= Height; ++y)
            putGlyph(x, y, DigitDot, Rank::BigDigit, ':');
        return;
    }
    if (digit < 0 || digit > 9)
        return;
    for (int row = 0; row < Height; ++row) {
        for (int i = 0; i < 3; ++i) {
            const int cx = x + i, cy = row + 1;
            switch (DigitShapes[digit][row][i]) {
            case 'F':
                putCode(cx, cy, FullBlock);
                break;
            case 'T':
                putGlyph(cx, cy, DigitTop, Rank::BigDigit, '"');
                break;
            case 'B':
                putGlyph(cx, cy, DigitBottom, Rank::BigDigit, '_');
                break;
            case 'X':
                putGlyph(cx, cy, DigitBoth, Rank::BigDigit, '=');
                break;
            default:
                putCode(cx, cy, Blank);
            }
        }
    }
}

void Frame::heartbeat(int state) {
    // LCDd calls this every frame: the heart beats once in sixteen frames, two seconds.
    const bool filled = (heartbeatTicks_++ & 8) == 0;
    if (state == 1)
        putGlyph(Width, 1, filled ? HeartFilled : HeartOpen, Rank::Heartbeat, filled ? '#' : '-');
}

bool Frame::icon(int x, int y, int icon) {
    if (icon == BlockFilled) {
        putCode(x, y, FullBlock);
        return true;
    }
    for (const IconGlyph &i : OneCellIcons) {
        if (i.icon == icon) {
            putGlyph(x, y, i.glyph, Rank::Icon, i.standIn);
            return true;
        }
    }
    const int twoCell = icon - FirstTwoCellIcon;
    if (twoCell >= 0 && twoCell < static_cast<int>(std::size(TwoCellIcons))) {
        putCode(x, y, static_cast<std::uint8_t>(TwoCellIcons[twoCell][0]));
        putCode(x + 1, y, static_cast<std::uint8_t>(TwoCellIcons[twoCell][1]));
        return true;
    }
    return false;
}

void Frame::cursor(int x, int y, int type) {
    cursorX_ = x;
    cursorY_ = y;
    cursorTypeValue_ = type;
}

void Frame::setChar(int n, const unsigned char *rows) {
    if (n < 0 || n >= protocol::UserChars || !rows)
        return;
    Glyph &g = clientChars_[static_cast<std::size_t>(n)];
    for (int r = 0; r < CellHeight; ++r)
        g[static_cast<std::size_t>(r)] = rows[r] & FullCharRow;
}

void Frame::backlight(int on) {
    backlight_ = on != 0;
}

void Frame::setBrightness(int state, int promille) {
    brightness_[state ? 1 : 0] = std::clamp(promille, 0, Promille);
}

int Frame::brightness(int state) const {
    return brightness_[state ? 1 : 0];
}

void Frame::output(int state) {
    outputs_ = static_cast<std::uint8_t>(state & ((1 << protocol::Outputs) - 1));
}

} // namespace torvika::lcdd
