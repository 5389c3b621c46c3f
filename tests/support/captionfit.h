#pragma once

#include <QString>

class QWidget;

namespace torvika::test {

// Whether the widget's caption is shown whole in its fixed size with its own font: buttons
// and wrapping labels word-wrapped within their area (no word wider than a line), other
// labels and option buttons on one line. Returns "" when it fits, else what overflows.
QString captionOverflow(const QWidget *widget);

} // namespace torvika::test
