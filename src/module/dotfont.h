#pragma once

#include "module/displaymodel.h"

#include <array>
#include <cstdint>

namespace torvika::module {

// The eight dot rows (bits 4..0, left to right) that a cell shows for a character code:
// the user characters for 0..7, the module's own font for 32..126, a full block for 255 and
// an open box for codes the font has no glyph for.
std::array<std::uint8_t, CharRows> glyph(std::uint8_t code, const Bitmaps &userChars);

} // namespace torvika::module
