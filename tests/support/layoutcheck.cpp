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

// Whether `text` shows whole in `area`, on one line or word-wrapped (the last line's descent
// may touch the border, as in the original toolkit).
bool fits(const QString &text, const QFont &font, const QRect &area, bool wrap) {
    const QFontMetrics fm(font);
    if (!wrap)
        return fm.horizontalAdvance(text) <= area.width();
    const auto words = text.split(u' ', Qt::SkipEmptyParts);
    const QRect needed = fm.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, text);
    const int lines = qMax(1, (needed.height() + fm.lineSpacing() / 2) / fm.lineSpacing());
    return std::all_of(words.begin(), words.end(),
                       [&](const QString &w) { return fm.horizontalAdvance(w) <= area.width(); }) &&
           (lines - 1) * fm.lineSpacing() + fm.ascent() <= area.height();
}

bool captionFits(const QWidget *w) {
    if (const auto *button = qobject_cast<const CaptionButton *>(w))
        return fits(button->text(), w->font(), button->captionRect(), true);
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return fits(label->text(), w->font(), label->contentsRect(), label->wordWrap());
    if (const auto *frame = qobject_cast<const QGroupBox *>(w))
        return fits(frame->title(), w->font(), frame->rect().adjusted(8, 0, -8, 0), false);
    if (const auto *option = qobject_cast<const QRadioButton *>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(option);
        opt.text = option->text();
        return fits(option->text(), w->font(),
                    w->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, w), false);
    }
    return true;
}

} // namespace

QStringList layoutFaults(const layout::Controls &controls, std::span<const layout::Item> table) {
    QStringList faults, expected;
    std::vector<const layout::Item *> inputs; // controls that take focus, by their tab place
    for (const layout::Item &item : table) {
        const QWidget *w = controls.find(item.name, item.index);
        if (!w || !captionFits(w))
            faults << layout::objectName(item.name, item.index) + QStringLiteral(": caption");
        if (w && item.kind != layout::Kind::Label && item.kind != layout::Kind::Frame)
            inputs.push_back(&item);
    }
    std::stable_sort(inputs.begin(), inputs.end(),
                     [](auto *a, auto *b) { return a->tab < b->tab; });
    for (const layout::Item *a : inputs) {
        const QWidget *wa = controls.find(a->name, a->index);
        expected << wa->objectName();
        for (const layout::Item *b : inputs) { // labels and frames may lie under others
            const QWidget *wb = controls.find(b->name, b->index);
            if (a < b && wa->parentWidget() == wb->parentWidget() &&
                wa->geometry().intersects(wb->geometry()))
                faults << wa->objectName() + QStringLiteral(" overlaps ") + wb->objectName();
        }
    }
    // The focus chain; a control's inner widgets (a combo's line edit) count as the control.
    QStringList chain;
    QWidget *at = controls.find(expected.value(0));
    for (int step = 0; at && step < 4 * expected.size(); ++step, at = at->nextInFocusChain()) {
        QWidget *owner = at;
        while (owner && !controls.all().contains(owner->objectName()))
            owner = owner->parentWidget();
        if (owner && owner->focusPolicy() != Qt::NoFocus &&
            chain.value(chain.size() - 1) != owner->objectName())
            chain << owner->objectName();
    }
    if (chain.first(qMin(chain.size(), expected.size())) != expected)
        faults << QStringLiteral("focus order: ") + chain.join(u' ');
    return faults;
}

} // namespace torvika::test
