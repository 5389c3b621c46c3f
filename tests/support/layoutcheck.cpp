#include "support/layoutcheck.h"

#include "support/captionfit.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace torvika::test {

QString captionOf(const QWidget *widget) {
    if (auto *b = qobject_cast<const QAbstractButton *>(widget))
        return b->text();
    if (auto *l = qobject_cast<const QLabel *>(widget))
        return l->text();
    if (auto *g = qobject_cast<const QGroupBox *>(widget))
        return g->title();
    return {};
}

QStringList overflowingCaptions(const layout::Controls &controls) {
    QStringList overflow;
    for (QWidget *widget : controls.all()) {
        const QString why = captionOverflow(widget);
        if (!why.isEmpty())
            overflow << widget->objectName() + QStringLiteral(": ") + why;
    }
    return overflow;
}

QStringList focusChain(const layout::Controls &controls, QWidget *start, qsizetype limit) {
    QStringList chain;
    if (!start)
        return chain;
    QWidget *at = start;
    do {
        QWidget *owner = at;
        while (owner && !controls.all().contains(owner->objectName()))
            owner = owner->parentWidget();
        if (owner && owner->focusPolicy() != Qt::NoFocus &&
            (chain.isEmpty() || chain.last() != owner->objectName()))
            chain << owner->objectName();
        at = at->nextInFocusChain();
    } while (at != start && chain.size() < limit);
    return chain;
}

} // namespace torvika::test
