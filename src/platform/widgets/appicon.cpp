#include "platform/appicon.h"

#include <QPainter>
#include <QPixmap>

namespace torvika {

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // Bezel, then the glass with two rows of character cells.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 44, 52));
    p.drawRoundedRect(QRectF(1, 6, 30, 20), 3, 3);
    p.setBrush(QColor(120, 200, 60));
    p.drawRect(QRectF(3.5, 8.5, 25, 15));
    p.setBrush(QColor(30, 70, 20));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 6; ++col)
            if (row == 0 || col < 4)
                p.drawRect(QRectF(5 + col * 3.8, 10.5 + row * 6.5, 3, 4.5));
    // Serial plug pins along the bottom edge.
    p.setBrush(QColor(200, 170, 60));
    for (int pin = 0; pin < 5; ++pin)
        p.drawRect(QRectF(9 + pin * 3, 26, 1.6, 3));
    return pixmap;
}

} // namespace

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace torvika
