#pragma once

// Plays an LCDd encoder's bytes into the module model and says where the module differs from
// the frame. Shared by tst_lcdd and fuzz_lcdd; needs torvika_lcdd and torvika_module.

#include "lcdd/frame.h"
#include "module/displaymodel.h"
#include "module/dotfont.h"
#include "protocol/framedecoder.h"

#include <QString>

#include <set>

namespace torvika::test {

using lcdd::Glyph;
using module::DisplayModel;

// Commands an encoder may send; anything else means a byte was read as a command by mistake.
inline bool encoderCommand(std::uint8_t command) {
    using protocol::Command;
    for (const Command c :
         {Command::CursorUnderline, Command::CursorBlockBlinking, Command::CursorHide,
          Command::BacklightOn, Command::BacklightOff, Command::SetBrightness, Command::SetOutputs,
          Command::SetCursorPosition, Command::CustomCharBitmaps})
        if (protocol::byteOf(c) == command)
            return true;
    return false;
}

inline Glyph shownGlyph(const DisplayModel &m, int row, int column) {
    return module::glyph(m.at(row, column), m.chars());
}

// What a cell may show for the frame: its glyph, or its plain character (a glyph's stand-in).
inline bool allowed(const lcdd::Frame::Cell &cell, const Glyph &shown) {
    const Glyph plain = module::glyph(cell.code, {});
    return shown == plain || (cell.rank != lcdd::Frame::Rank::Plain && shown == cell.glyph);
}

// Applies the bytes; empty when the model now shows the frame. Unless `strict` is false (after
// a reopen nothing is known), no cell shows in between anything but what it showed before, a
// blank, or what the frame asks for.
inline QString playAndCompare(DisplayModel &m, const QByteArray &bytes, const lcdd::Frame &f,
                              bool strict = true) {
    using Kind = protocol::DecodedFrame::Kind;
    constexpr int W = lcdd::Width, H = lcdd::Height;
    Glyph before[H][W];
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c)
            before[r][c] = shownGlyph(m, r, c);
    protocol::FrameDecoder decoder;
    for (const protocol::DecodedFrame &d : decoder.feed(bytes)) {
        if (d.kind == Kind::Unknown || d.kind == Kind::Control ||
            (d.kind == Kind::Command && !encoderCommand(d.command())))
            return QStringLiteral("stray frame ") + d.describe();
        const QString problem = m.apply(d).problem;
        if (!problem.isEmpty())
            return d.describe() + QStringLiteral(": ") + problem;
        for (int r = 0; strict && r < H; ++r)
            for (int c = 0; c < W; ++c) {
                const Glyph g = shownGlyph(m, r, c);
                if (g != before[r][c] && g != module::glyph(' ', {}) && !allowed(f.cell(r, c), g))
                    return QStringLiteral("after %1 cell %2,%3 shows a glyph of neither frame")
                        .arg(d.hex())
                        .arg(r)
                        .arg(c);
            }
    }
    if (!decoder.pending().isEmpty())
        return QStringLiteral("unfinished frame");
    // Every glyph the frame asks for is drawn when the slots can hold them all.
    std::set<Glyph> glyphs;
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c)
            if (f.cell(r, c).rank != lcdd::Frame::Rank::Plain)
                glyphs.insert(f.cell(r, c).glyph);
    const bool allFit = glyphs.size() <= std::size_t(protocol::UserChars);
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            const lcdd::Frame::Cell &cell = f.cell(r, c);
            const Glyph g = shownGlyph(m, r, c);
            const bool ok = allFit && cell.rank != lcdd::Frame::Rank::Plain ? g == cell.glyph
                                                                            : allowed(cell, g);
            if (!ok || (cell.rank == lcdd::Frame::Rank::Plain && m.at(r, c) != cell.code))
                return QStringLiteral("cell %1,%2 shows %3").arg(r).arg(c).arg(m.at(r, c));
        }
    using Style = DisplayModel::CursorStyle;
    const lcdd::CursorType type = f.cursorType();
    const Style style = type == lcdd::CursorType::Off     ? Style::Hidden
                        : type == lcdd::CursorType::Block ? Style::BlinkingBlock
                                                          : Style::Underline;
    if (m.cursorStyle() != style)
        return QStringLiteral("cursor style ") + module::cursorStyleName(m.cursorStyle());
    if (type != lcdd::CursorType::Off &&
        (m.cursorRow() != f.cursorRow() || m.cursorColumn() != f.cursorColumn()))
        return QStringLiteral("cursor at %1,%2").arg(m.cursorRow()).arg(m.cursorColumn());
    const int level = f.moduleLevel();
    if (m.backlightOn() != (level > 0) || (level > 0 && m.brightness() != level))
        return QStringLiteral("backlight %1 level %2").arg(m.backlightOn()).arg(m.brightness());
    if (m.outputs() != f.outputs())
        return QStringLiteral("outputs %1").arg(m.outputs());
    return {};
}

} // namespace torvika::test
