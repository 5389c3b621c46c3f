#include "platform/captionbutton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace torvika {

CaptionButton::CaptionButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent) {}

QRect CaptionButton::captionRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

void CaptionButton::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown() || isChecked())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QStaticText *text =
        caption.contains(u'&') ? nullptr : &laidOutCaption(caption, area.width());
    if (!text || text->size().width() > area.width()) {
        // Only the text engine draws mnemonics and centres a word wider than the button.
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, caption);
        return;
    }
    const QSizeF size = text->size();
    painter.drawStaticText(QPointF(area.left() + (area.width() - size.width()) / 2.0,
                                   area.top() + (area.height() - size.height()) / 2.0),
                           *text);
}

void CaptionButton::keyPressEvent(QKeyEvent *event) {
    // Outside a dialog QPushButton only takes Return when it is a default button, which
    // would also change how it is drawn.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

const QStaticText &CaptionButton::laidOutCaption(const QString &caption, int width) {
    if (caption != laidOutFor_ || width != laidOutWidth_ || font() != laidOutFont_) {
        laidOutFor_ = caption;
        laidOutWidth_ = width;
        laidOutFont_ = font();
        laidOut_ = QStaticText(caption);
        laidOut_.setTextFormat(Qt::PlainText);
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WordWrap);
        laidOut_.setTextOption(option);
        laidOut_.setTextWidth(width);
        laidOut_.prepare(QTransform(), font());
    }
    return laidOut_;
}

} // namespace torvika
