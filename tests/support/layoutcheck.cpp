#include "support/layoutcheck.h"

#include "platform/captionbutton.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

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
    return height > area.height()
               ? QStringLiteral("needs %1 px of height, has %2").arg(height).arg(area.height())
               : QString();
}

QString oneLine(const QString &text, const QFontMetrics &fm, int width) {
    const int needed = fm.horizontalAdvance(text);
    return needed <= width ? QString()
                           : QStringLiteral("needs %1 px, has %2").arg(needed).arg(width);
}

QString captionOverflow(const QWidget *widget) {
    const QFontMetrics fm(widget->font());
    if (const auto *button = qobject_cast<const CaptionButton *>(widget))
        return wrapped(button->text(), fm, button->captionRect());
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->wordWrap() ? wrapped(label->text(), fm, label->contentsRect())
                                 : oneLine(label->text(), fm, label->contentsRect().width());
    if (const auto *option = qobject_cast<const QRadioButton *>(widget)) {
        QStyleOptionButton opt;
        opt.initFrom(option);
        opt.text = option->text();
        return oneLine(
            option->text(), fm,
            option->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, option).width());
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return oneLine(frame->title(), fm, frame->width() - 16);
    return {};
}

bool takesFocus(const layout::Item &item) {
    return item.kind != layout::Kind::Label && item.kind != layout::Kind::Frame;
}

} // namespace

QStringList layoutFaults(const layout::Controls &controls, std::span<const layout::Item> table) {
    QStringList faults;
    QStringList names, expected;
    std::vector<const layout::Item *> byTab;
    for (const layout::Item &item : table) {
        names << layout::objectName(item.name, item.index);
        if (takesFocus(item))
            byTab.push_back(&item);
    }
    for (const QString &name : names) {
        const QWidget *widget = controls.find(name);
        if (!widget) {
            faults << name + QStringLiteral(": not built");
            continue;
        }
        if (const QString why = captionOverflow(widget); !why.isEmpty())
            faults << name + QStringLiteral(": ") + why;
    }
    // Controls that take input never lie over one another (labels and frames may, by design).
    for (const layout::Item *a : byTab)
        for (const layout::Item *b : byTab) {
            const QWidget *wa = controls.find(a->name, a->index),
                          *wb = controls.find(b->name, b->index);
            if (a < b && wa && wb && wa->parentWidget() == wb->parentWidget() &&
                wa->geometry().intersects(wb->geometry()))
                faults << wa->objectName() + QStringLiteral(" overlaps ") + wb->objectName();
        }
    std::stable_sort(byTab.begin(), byTab.end(), [](auto *a, auto *b) { return a->tab < b->tab; });
    for (const layout::Item *item : byTab)
        expected << layout::objectName(item->name, item->index);
    // Walk the focus chain; a control's inner widgets (a combo's line edit) count as it.
    QStringList chain;
    QWidget *start = controls.find(expected.value(0));
    for (QWidget *at = start; at && chain.size() < expected.size();) {
        QWidget *owner = at;
        while (owner && !controls.all().contains(owner->objectName()))
            owner = owner->parentWidget();
        if (owner && owner->focusPolicy() != Qt::NoFocus &&
            (chain.isEmpty() || chain.last() != owner->objectName()))
            chain << owner->objectName();
        at = at->nextInFocusChain();
        if (at == start)
            break;
    }
    if (chain != expected)
        faults << QStringLiteral("focus order: ") + chain.join(u' ');
    return faults;
}

} // namespace torvika::test
