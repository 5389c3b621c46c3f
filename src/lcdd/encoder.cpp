#include "lcdd/frame.h"

#include "protocol/frames.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace torvika::lcdd {

namespace {

using protocol::UserChars;
using Rank = Frame::Rank;
constexpr int Cells = Width * Height;
// A cursor move costs this many bytes; re-sending fewer unchanged cells is cheaper.
constexpr int MoveCost = 4;
constexpr int Unknown = -1;
constexpr std::uint8_t Blank = ' ';

void append(QByteArray &out, const std::optional<protocol::Frame> &frame) {
    if (frame)
        out.append(reinterpret_cast<const char *>(frame->bytes.data()), frame->size);
}

void appendCode(QByteArray &out, int code) {
    append(out, code < UserChars ? protocol::insertCustomChar(code) : protocol::textChar(code));
}

// The cursor style command for a frame's cursor: its offset from CursorUnderline.
int styleFor(CursorType type) {
    switch (type) {
    case CursorType::Off:
        return 2; // hidden
    case CursorType::Block:
        return 1; // blinking block
    case CursorType::On:
    case CursorType::Underline:
        return 0;
    }
    return 0;
}

struct Wanted {
    Glyph glyph;
    Rank rank;
    int cells;
};

// The distinct glyphs the frame draws, most important first; at most the slots' worth are
// kept, the rest fall back to their stand-ins.
std::vector<Wanted> wantedGlyphs(const Frame &frame) {
    std::vector<Wanted> wanted;
    for (int i = 0; i < Cells; ++i) {
        const Frame::Cell &c = frame.cell(i / Width, i % Width);
        if (c.rank == Rank::Plain)
            continue;
        const auto it = std::find_if(wanted.begin(), wanted.end(),
                                     [&](const Wanted &w) { return w.glyph == c.glyph; });
        if (it == wanted.end()) {
            wanted.push_back({c.glyph, c.rank, 1});
        } else {
            it->rank = std::max(it->rank, c.rank);
            ++it->cells;
        }
    }
    std::sort(wanted.begin(), wanted.end(), [](const Wanted &a, const Wanted &b) {
        if (a.rank != b.rank)
            return a.rank > b.rank;
        if (a.cells != b.cells)
            return a.cells > b.cells;
        return a.glyph < b.glyph;
    });
    if (wanted.size() > static_cast<std::size_t>(UserChars))
        wanted.resize(UserChars);
    return wanted;
}

} // namespace

void Encoder::forget() {
    *this = Encoder();
}

void Encoder::moveTo(QByteArray &out, int row, int column) {
    append(out, protocol::setCursorPosition(row, column));
    row_ = row;
    column_ = column;
}

// Writes every cell whose target differs from what it shows, row by row: a run goes on from
// where the cursor stands, over unchanged cells when they cost less than a cursor move. The
// module's cursor is never trusted past a row's end.
void Encoder::writeRuns(QByteArray &out, const Targets &targets) {
    for (int row = 0; row < Height; ++row) {
        for (int column = 0; column < Width; ++column) {
            const int i = row * Width + column;
            if (targets[i] == Unknown || targets[i] == shown_[i])
                continue;
            const int gap = column - column_;
            const bool fill =
                row_ == row && gap > 0 && gap < MoveCost &&
                std::all_of(&shown_[i - gap], &shown_[i], [](int code) { return code != Unknown; });
            if (fill) {
                for (int j = i - gap; j < i; ++j)
                    appendCode(out, shown_[j]);
            } else if (row_ != row || column_ != column) {
                moveTo(out, row, column);
            }
            appendCode(out, targets[i]);
            shown_[i] = targets[i];
            column_ = column + 1;
            if (column_ == Width)
                row_ = column_ = Unknown;
        }
    }
}

QByteArray Encoder::flush(const Frame &frame) {
    QByteArray out;
    const bool fresh = !known_;
    if (fresh) {
        shown_.fill(Unknown);
        row_ = column_ = style_ = backlight_ = level_ = outputs_ = Unknown;
        slots_ = {};
        known_ = true;
    }

    // Backlight and brightness: a level of 0 is a dark backlight.
    const int level = frame.moduleLevel();
    const int on = level > 0 ? 1 : 0;
    if (on != backlight_) {
        append(out, protocol::backlight(on ? 0 : 1));
        backlight_ = on;
    }
    if (on && level != level_) {
        append(out, protocol::setBrightness(level));
        level_ = level;
    }
    if (frame.outputs() != outputs_) {
        append(out, protocol::setOutputs(frame.outputs()));
        outputs_ = frame.outputs();
    }
    // A hidden cursor goes first so that it is not seen running over the text.
    const int style = styleFor(frame.cursorType());
    const auto sendStyle = [&] {
        if (style != style_) {
            append(out, protocol::cursorStyle(style));
            style_ = style;
        }
    };
    if (frame.cursorType() == CursorType::Off)
        sendStyle();

    // Slots: a glyph already loaded keeps its slot; new glyphs go into slots nothing keeps.
    const std::vector<Wanted> wanted = wantedGlyphs(frame);
    Slots next = slots_;
    std::array<bool, UserChars> kept{};
    std::vector<const Glyph *> missing;
    for (const Wanted &w : wanted) {
        int s = 0;
        while (s < UserChars && (fresh || kept[s] || slots_[s] != w.glyph))
            ++s;
        if (s < UserChars)
            kept[s] = true;
        else
            missing.push_back(&w.glyph);
    }
    const auto slotOf = [&](const Glyph &g) {
        for (int s = 0; s < UserChars; ++s)
            if (kept[s] && next[s] == g)
                return s;
        return int(Unknown);
    };
    for (const Glyph *g : missing) {
        // The slot wanted longest ago, so that glyphs coming back (a beating heart, a bar
        // going up and down) are still loaded; between equals, one the glyph's cell shows.
        int chosen = Unknown;
        const auto shownThere = [&](int s) {
            for (int i = 0; i < Cells; ++i)
                if (shown_[i] == s && frame.cell(i / Width, i % Width).glyph == *g)
                    return true;
            return false;
        };
        for (int s = 0; s < UserChars; ++s) {
            if (kept[s])
                continue;
            if (chosen == Unknown || used_[s] < used_[chosen] ||
                (used_[s] == used_[chosen] && !shownThere(chosen) && shownThere(s)))
                chosen = s;
        }
        next[chosen] = *g;
        kept[chosen] = true;
    }
    ++flushes_;
    for (int s = 0; s < UserChars; ++s)
        if (kept[s])
            used_[s] = flushes_;

    Targets targets;
    for (int i = 0; i < Cells; ++i) {
        const Frame::Cell &c = frame.cell(i / Width, i % Width);
        const int s = c.rank == Rank::Plain ? Unknown : slotOf(c.glyph);
        targets[i] = s == Unknown ? c.code : s;
    }

    const bool upload = fresh || !missing.empty();
    if (upload) {
        // Cells that show a slot about to change get their new content first, or a blank
        // while that content waits for the new set.
        Targets before;
        before.fill(Unknown);
        for (int i = 0; i < Cells; ++i) {
            const int s = shown_[i];
            if (s < 0 || s >= UserChars || next[s] == slots_[s] || targets[i] == s)
                continue;
            const int t = targets[i];
            const bool ready = t >= UserChars || next[t] == slots_[t];
            before[i] = ready ? t : Blank;
        }
        writeRuns(out, before);
        protocol::Bitmaps bitmaps{};
        for (int s = 0; s < UserChars; ++s)
            std::copy(next[s].begin(), next[s].end(), bitmaps.begin() + s * CellHeight);
        out.append(protocol::customCharBitmaps(bitmaps));
        slots_ = next;
    }
    writeRuns(out, targets);

    if (frame.cursorType() != CursorType::Off) {
        sendStyle();
        if (row_ != frame.cursorRow() || column_ != frame.cursorColumn())
            moveTo(out, frame.cursorRow(), frame.cursorColumn());
    }
    return out;
}

} // namespace torvika::lcdd
