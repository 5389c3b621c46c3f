#include "platform/framebox.h"

#include <QPaintEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace torvika {

FrameBox::FrameBox(const QString &caption, QWidget *parent) : QGroupBox(caption, parent) {}

FrameBox::Key FrameBox::currentKey() const {
    return {
        size(),      title(),          font(),  palette().cacheKey(), style(), devicePixelRatioF(),
        isEnabled(), isActiveWindow(), isFlat()};
}

void FrameBox::refresh() const {
    Key now = currentKey();
    if (now == key_ && !border_.isNull())
        return;
    key_ = std::move(now);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    titleRect_ =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);

    border_ = QPixmap(size() * key_.pixelRatio);
    border_.setDevicePixelRatio(key_.pixelRatio);
    border_.fill(Qt::transparent);
    option.subControls = QStyle::SC_GroupBoxFrame;
    QPainter painter(&border_);
    // Set up as the group box's own QStylePainter would be.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
}

QRect FrameBox::titleRect() const {
    refresh();
    return titleRect_;
}

void FrameBox::paintEvent(QPaintEvent *event) {
    refresh();
    if (isCheckable() || event->region().intersects(titleRect_)) {
        QGroupBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    for (const QRect &damage : event->region())
        painter.drawPixmap(
            damage, border_,
            QRectF(damage.topLeft() * key_.pixelRatio, damage.size() * key_.pixelRatio));
}

} // namespace torvika
