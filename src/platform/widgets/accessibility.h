#pragma once

#include "platform/layout.h"

#include <QAccessible>
#include <QObject>
#include <QPointer>

#include <span>

class QMenuBar;

// What a screen reader and a keyboard user need beyond the fixed layouts: a spoken name for
// every control that works, and the keys of a desktop program. Nothing here changes what is
// drawn.
namespace torvika::accessibility {

// How a control is named: by the label beside it, or by a name for the screen reader alone.
// A control named by neither is named by its caption.
struct SpokenName {
    const char *control;
    int index = -1;
    const char *label = nullptr; // object name of the label that names it
    const char *name = nullptr;  // spoken name when no label on screen says it
};

// Links each label to its control (QLabel::setBuddy) and gives the other names. A list is
// spoken by its current item whatever its own accessible name says, so a list's screen
// reader name goes into a hidden label linked to it.
void nameControls(const layout::Controls &controls, std::span<const SpokenName> names);

// Gives pixel cells their own accessible interface: a check box named by its accessible name
// and checked when lit. Installed once; later calls do nothing.
void installInterfaces();

// A top-level window made from a plain widget is a "filler" to the screen reader; this tells
// it what the window of the class is (QAccessible::Dialog, QAccessible::Window).
void setWindowRole(const QMetaObject &windowClass, QAccessible::Role role);

// F10 moves the keyboard to the window's menu bar, with its first entry current: Left and
// Right move along it, Return, Enter or Space choose the entry, Escape goes back to where the
// keyboard was.
class MenuBarKeys : public QObject {
public:
    explicit MenuBarKeys(QMenuBar *bar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    void leave();

    QMenuBar *bar_;
    QPointer<QWidget> returnTo_;
};

} // namespace torvika::accessibility
