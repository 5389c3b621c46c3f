#include "platform/placement.h"

#include <QScreen>
#include <QWidget>

namespace torvika {

void centreOnFirstShow(QWidget &window, bool &centred) {
    if (centred)
        return;
    centred = true;
    if (const QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

} // namespace torvika
