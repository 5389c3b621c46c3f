#include "platform/accessibility.h"

#include "platform/pixelcell.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace torvika::accessibility {

namespace {

// A pixel cell as a check box: "Row 3, column 2", checked when lit, toggled by its action.
class PixelCellInterface : public QAccessibleWidget {
public:
    explicit PixelCellInterface(PixelCell *cell) : QAccessibleWidget(cell, QAccessible::CheckBox) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = cell()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action == toggleAction() || action == pressAction())
            QMetaObject::invokeMethod(cell(), "clicked", Q_ARG(int, cell()->index()));
        else
            QAccessibleWidget::doAction(action);
    }

private:
    PixelCell *cell() const { return static_cast<PixelCell *>(widget()); }
};

QHash<QString, QAccessible::Role> &windowRoles() {
    static QHash<QString, QAccessible::Role> roles;
    return roles;
}

QAccessibleInterface *interfaceFor(const QString &className, QObject *object) {
    if (className == QLatin1String(PixelCell::staticMetaObject.className()))
        if (auto *cell = qobject_cast<PixelCell *>(object))
            return new PixelCellInterface(cell);
    const auto role = windowRoles().constFind(className);
    if (role != windowRoles().cend() && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), *role);
    return nullptr;
}

} // namespace

void installInterfaces() {
    // Qt keeps a factory only once however often it is installed.
    QAccessible::installFactory(interfaceFor);
}

void setWindowRole(const QMetaObject &windowClass, QAccessible::Role role) {
    windowRoles().insert(QString::fromLatin1(windowClass.className()), role);
    installInterfaces();
}

void nameControls(const layout::Controls &controls, std::span<const SpokenName> names) {
    for (const SpokenName &entry : names) {
        QWidget *control = controls.find(entry.control, entry.index);
        if (!control)
            continue;
        auto *list = qobject_cast<QComboBox *>(control);
        QLabel *label = entry.label ? controls.get<QLabel>(entry.label) : nullptr;
        if (!label && entry.name && list) {
            label = new QLabel(QString::fromUtf8(entry.name), control->parentWidget());
            label->setObjectName(control->objectName() + QStringLiteral("Name"));
            label->hide();
        }
        if (label) {
            label->setBuddy(control);
            // The text field inside an editable list is a control of its own to the screen
            // reader, reached by its own name.
            if (list && list->lineEdit())
                list->lineEdit()->setAccessibleName(label->text());
        } else if (entry.name) {
            control->setAccessibleName(QString::fromUtf8(entry.name));
        }
    }
}

MenuBarKeys::MenuBarKeys(QMenuBar *bar) : QObject(bar), bar_(bar) {
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar->window());
    connect(f10, &QShortcut::activated, this, [this] {
        if (bar_->hasFocus())
            leave();
        else
            enter();
    });
    bar->installEventFilter(this);
}

void MenuBarKeys::enter() {
    QAction *first = nullptr;
    for (QAction *action : bar_->actions())
        if (!first && action->isVisible() && action->isEnabled() && !action->isSeparator())
            first = action;
    if (!first)
        return;
    returnTo_ = QApplication::focusWidget();
    bar_->setFocus(Qt::MenuBarFocusReason);
    bar_->setActiveAction(first);
}

void MenuBarKeys::leave() {
    bar_->setActiveAction(nullptr);
    if (returnTo_)
        returnTo_->setFocus(Qt::MenuBarFocusReason);
    else
        bar_->clearFocus();
    returnTo_.clear();
}

bool MenuBarKeys::eventFilter(QObject *watched, QEvent *event) {
    if (watched != bar_ || event->type() != QEvent::KeyPress || !bar_->hasFocus())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (QAction *chosen = bar_->activeAction(); chosen && !chosen->menu()) {
            leave();
            chosen->trigger();
            return true;
        }
        return false;
    case Qt::Key_Escape:
        leave();
        return true;
    default:
        return false;
    }
}

} // namespace torvika::accessibility
