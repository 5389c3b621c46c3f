#pragma once

// Plays an LCDd encoder's bytes into the module model and says where the module differs from
// the frame. Shared by tst_lcdd, fuzz_lcdd and bench_lcdd.

#include "lcdd/frame.h"
#include "module/displaymodel.h"
#include "module/dotfont.h"
#include "protocol/framedecoder.h"

#include <QString>

#include <set>

namespace torvika::test {

using lcdd::Glyph;
using module::DisplayModel;
using Rank = lcdd::Frame::Rank;

// The commands an encoder sends; any other means a byte was read as a command by mistake.
inline bool encoderCommand(std::uint8_t command) {
    static const std::set<int> sent{1, 2, 3, 6, 7, 40, 47, 50, 100};
    return sent.count(command) == 1;
}

// What a cell may show for the frame: its glyph, or its plain character (a glyph's stand-in).
inline bool allowed(const lcdd::Frame::Cell &cell, const Glyph &shown) {
    return shown == module::glyph(cell.code, {}) ||
           (cell.rank != Rank::Plain && shown == cell.glyph);
}

// Applies the bytes; empty when the model now shows the frame. Unless `strict` is false (after
// a reopen nothing is known), no cell shows in between anything but what it showed before, a
// blank, or what the frame asks for.
inline QString playAndCompare(DisplayModel &m, const QByteArray &bytes, const lcdd::Frame &f,
                              bool strict = true) {
    using Kind = protocol::DecodedFrame::Kind;
    constexpr int W = lcdd::Width, Cells = lcdd::Width * lcdd::Height;
    const auto shown = [&m](int i) { return module::glyph(m.at(i / W, i % W), m.chars()); };
    const auto cell = [&f](int i) { return f.cell(i / W, i % W); };
    Glyph before[Cells];
    std::set<Glyph> glyphs;
    for (int i = 0; i < Cells; ++i) {
        before[i] = shown(i);
        if (cell(i).rank != Rank::Plain)
            glyphs.insert(cell(i).glyph);
    }
    protocol::FrameDecoder decoder;
    for (const protocol::DecodedFrame &d : decoder.feed(bytes)) {
        if (d.kind == Kind::Unknown || d.kind == Kind::Control ||
            (d.kind == Kind::Command && !encoderCommand(d.command())))
            return QStringLiteral("stray frame ") + d.describe();
        if (const QString problem = m.apply(d).problem; !problem.isEmpty())
            return d.describe() + QStringLiteral(": ") + problem;
        for (int i = 0; strict && i < Cells; ++i)
            if (const Glyph g = shown(i); g != before[i] && g != Glyph{} && !allowed(cell(i), g))
                return QStringLiteral("after %1 cell %2 shows a glyph of neither frame")
                    .arg(d.hex())
                    .arg(i);
    }
    if (!decoder.pending().isEmpty())
        return QStringLiteral("unfinished frame");
    // Every glyph the frame asks for is drawn when the slots can hold them all.
    const bool allFit = glyphs.size() <= std::size_t(protocol::UserChars);
    for (int i = 0; i < Cells; ++i) {
        const bool ok = cell(i).rank == Rank::Plain ? m.at(i / W, i % W) == cell(i).code
                        : allFit                    ? shown(i) == cell(i).glyph
                                                    : allowed(cell(i), shown(i));
        if (!ok)
            return QStringLiteral("cell %1 shows %2").arg(i).arg(m.at(i / W, i % W));
    }
    using Style = DisplayModel::CursorStyle;
    const lcdd::CursorType type = f.cursorType();
    const Style style = type == lcdd::CursorType::Off     ? Style::Hidden
                        : type == lcdd::CursorType::Block ? Style::BlinkingBlock
                                                          : Style::Underline;
    const bool cursorOk = m.cursorStyle() == style &&
                          (style == Style::Hidden || (m.cursorRow() == f.cursorRow() &&
                                                      m.cursorColumn() == f.cursorColumn()));
    const int level = f.moduleLevel();
    const bool lightOk = m.backlightOn() == (level > 0) && (level == 0 || m.brightness() == level);
    if (!cursorOk || !lightOk || m.outputs() != f.outputs())
        return QStringLiteral("cursor %1 at %2,%3, backlight %4 at %5, outputs %6")
            .arg(module::cursorStyleName(m.cursorStyle()))
            .arg(m.cursorRow())
            .arg(m.cursorColumn())
            .arg(m.backlightOn())
            .arg(m.brightness())
            .arg(m.outputs());
    return {};
}

} // namespace torvika::test
