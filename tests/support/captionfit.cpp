#include "captionfit.h"

#include "platform/captionbutton.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace torvika::test {

namespace {

QString wrapped(const QString &text, const QFontMetrics &fm, const QRect &area) {
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
        if (fm.horizontalAdvance(word) > area.width())
            return QStringLiteral("word \"%1\" is wider than %2 px").arg(word).arg(area.width());
    // Every line's letters must show; the last line's descent may touch the border, as it
    // did in the original toolkit.
    const QRect needed = fm.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, text);
    const int lines = qMax(1, (needed.height() + fm.lineSpacing() / 2) / fm.lineSpacing());
    const int height = (lines - 1) * fm.lineSpacing() + fm.ascent();
    if (height > area.height())
        return QStringLiteral("needs %1 px of height, has %2").arg(height).arg(area.height());
    return {};
}

} // namespace

QString captionOverflow(const QWidget *widget) {
    const QFontMetrics fm(widget->font());
    if (const auto *button = qobject_cast<const CaptionButton *>(widget))
        return wrapped(button->text(), fm, button->captionRect());
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        const QRect area = label->contentsRect();
        if (label->wordWrap())
            return wrapped(label->text(), fm, area);
        const int width = fm.horizontalAdvance(label->text());
        return width <= area.width()
                   ? QString()
                   : QStringLiteral("needs %1 px, has %2").arg(width).arg(area.width());
    }
    if (const auto *option = qobject_cast<const QRadioButton *>(widget)) {
        QStyleOptionButton opt;
        opt.initFrom(option);
        opt.text = option->text();
        const QRect area =
            option->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, option);
        const int width = fm.horizontalAdvance(option->text());
        return width <= area.width()
                   ? QString()
                   : QStringLiteral("needs %1 px, has %2").arg(width).arg(area.width());
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
        const int width = fm.horizontalAdvance(frame->title()) + 16;
        return width <= frame->width()
                   ? QString()
                   : QStringLiteral("needs %1 px, has %2").arg(width).arg(frame->width());
    }
    return {};
}

} // namespace torvika::test
