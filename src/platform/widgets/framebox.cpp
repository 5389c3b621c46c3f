#include "platform/framebox.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace torvika {

namespace {

// The title starts this far from the frame's left edge, with a gap in the line either side.
constexpr int TitleIndent = 8;
constexpr int TitleGap = 2;

} // namespace

FrameBox::FrameBox(const QString &caption, QWidget *parent) : QGroupBox(caption, parent) {}

FrameBox::Key FrameBox::currentKey() const {
    return {size(),      title(),         font(), palette().cacheKey(), devicePixelRatioF(),
            isEnabled(), isActiveWindow()};
}

QRect FrameBox::borderRect() const {
    const int middle = fontMetrics().height() / 2;
    return rect().adjusted(0, middle, 0, 0);
}

void FrameBox::refresh() const {
    // The font is settled by polishing; a title measured before would be measured wrongly.
    ensurePolished();
    Key now = currentKey();
    if (now == key_ && !drawing_.isNull())
        return;
    key_ = std::move(now);
    const QString text = title();
    titleRect_ = text.isEmpty() ? QRect()
                                : QRect(TitleIndent, 0, fontMetrics().horizontalAdvance(text),
                                        fontMetrics().height());

    drawing_ = QPixmap(size() * key_.pixelRatio);
    drawing_.setDevicePixelRatio(key_.pixelRatio);
    drawing_.fill(Qt::transparent);
    QPainter painter(&drawing_);
    QRegion lineArea(rect());
    if (!titleRect_.isEmpty())
        lineArea -= titleRect_.adjusted(-TitleGap, 0, TitleGap, 0);
    painter.setClipRegion(lineArea);
    // Etched: a dark line with a light one inside and beside it, in the desktop's colours.
    qDrawShadeRect(&painter, borderRect(), palette(), true, 1, 0);
    painter.setClipping(false);
    if (!titleRect_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        painter.drawText(titleRect_, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
}

QRect FrameBox::titleRect() const {
    refresh();
    return titleRect_;
}

void FrameBox::paintEvent(QPaintEvent *event) {
    if (isCheckable()) {
        QGroupBox::paintEvent(event);
        return;
    }
    refresh();
    QPainter painter(this);
    for (const QRect &damage : event->region())
        painter.drawPixmap(
            damage, drawing_,
            QRectF(damage.topLeft() * key_.pixelRatio, damage.size() * key_.pixelRatio));
}

} // namespace torvika
