#include "platform/pixelcell.h"

#include <QAccessible>
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

void PixelCell::setChecked(bool checked) {
    if (checked == checked_)
        return;
    checked_ = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void PixelCell::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(index_);
}

void PixelCell::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            emit clicked(index_);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (PixelCell *next = neighbour(event->key()))
            next->setFocus(Qt::OtherFocusReason);
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

PixelCell *PixelCell::neighbour(int key) const {
    if (!parentWidget())
        return nullptr;
    const QPoint here = geometry().center();
    const bool across = key == Qt::Key_Left || key == Qt::Key_Right;
    const int sign = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1;
    PixelCell *nearest = nullptr;
    int nearestDistance = 0;
    for (PixelCell *cell : parentWidget()->findChildren<PixelCell *>(Qt::FindDirectChildrenOnly)) {
        const QPoint offset = cell->geometry().center() - here;
        const int distance = sign * (across ? offset.x() : offset.y());
        const int aside = across ? offset.y() : offset.x();
        // Only a cell in the same row (or column) counts, and only ahead of this one.
        if (distance <= 0 || 2 * qAbs(aside) >= (across ? height() : width()))
            continue;
        if (!nearest || distance < nearestDistance) {
            nearest = cell;
            nearestDistance = distance;
        }
    }
    return nearest;
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
