#include "platform/pixelcell.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace torvika {

PixelCell::PixelCell(int index, QWidget *parent) : QFrame(parent), index_(index) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PixelCell::setBackground(const QColor &colour) {
    if (colour == background_)
        return;
    background_ = colour;
    update();
}

void PixelCell::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(index_);
}

void PixelCell::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        emit clicked(index_);
    else
        QFrame::keyPressEvent(event);
}

void PixelCell::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace torvika
