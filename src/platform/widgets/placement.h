#pragma once

class QWidget;

namespace torvika {

// Puts the window in the middle of its screen's free area the first time it is shown
// (`centred` false); later showings keep wherever the user moved it.
void centreOnFirstShow(QWidget &window, bool &centred);

} // namespace torvika
