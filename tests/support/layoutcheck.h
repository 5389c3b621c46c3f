#pragma once

#include "platform/layout.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace torvika::test {

// The text a control shows as its caption: a button's text, a label's text, a frame's title.
QString captionOf(const QWidget *widget);

// "name: why" for every control of a built layout whose caption does not fit it.
QStringList overflowingCaptions(const layout::Controls &controls);

// Object names of the layout's focusable controls in keyboard focus order, from `start`, at
// most `limit` of them. A control's inner widgets (a combo's line edit) count as the control.
QStringList focusChain(const layout::Controls &controls, QWidget *start, qsizetype limit);

} // namespace torvika::test
