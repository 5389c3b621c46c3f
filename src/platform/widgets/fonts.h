#pragma once

#include "platform/layout.h"

#include <QFont>

namespace torvika {

// The layouts name the fonts of the original desktop; map them to fonts that are installed
// and have near enough the same widths.
void installFontSubstitutions();

// The font of a layout item, sized in pixels (points at 96 dpi) so the fixed layout does not
// depend on the screen's DPI.
QFont layoutFont(const layout::FontSpec &spec);

} // namespace torvika
