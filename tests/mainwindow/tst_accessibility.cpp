// Both windows on a dark desktop as a screen reader and a keyboard user meet them: the names,
// where the keys lead, readable fixed colours, frames whose border no control crosses; their
// size, captions that fit, no overlaps, the table's tab order.
#include "platform/framebox.h"
#include "support/layoutcheck.h"
#include "support/wiredpanel.h"

#include <QAccessible>
#include <QApplication>

using namespace torvika;
using namespace torvika::test;

namespace {

// The name a screen reader speaks: the control's own, but for a list (named by its current
// item) or a nameless control the first label linked to it.
QString spokenName(QAccessibleInterface *control) {
    if (control->role() != QAccessible::ComboBox && !control->text(QAccessible::Name).isEmpty())
        return control->text(QAccessible::Name);
    const auto labels = control->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

void collectControls(QAccessibleInterface *parent, QList<QAccessibleInterface *> &found) {
    using A = QAccessible;
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (!child || child->state().invisible)
            continue;
        if (QList{A::PushButton, A::CheckBox, A::RadioButton, A::ComboBox, A::Slider,
                  A::EditableText, A::MenuItem}
                .contains(child->role()))
            found << child;
        if (child->role() != QAccessible::ComboBox) // its items are no controls of the window
            collectControls(child, found);
    }
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { // a dark desktop theme
        const QColor grey(45, 45, 48), text(230, 230, 230);
        QApplication::setPalette(QPalette(text, grey, grey.lighter(), grey.darker(), grey, text,
                                          Qt::white, grey.darker(), grey));
    }

    void walkEveryControl_data() {
        // framed: controls within a frame; coloured: controls whose background is fixed
        columns<bool, QString, QSize, int, int, int>(
            {"dialog", "title", "size", "controls", "framed", "coloured"});
        QTest::newRow("main window: 40 controls, two menu entries, six fixed colours")
            << false << "TORVIKA Serial LCD" << QSize(694, 533) << 42 << 61 << 6;
        QTest::newRow("dialog: 40 cells, 17 controls, the grid over its frame")
            << true << "Configure TORVIKA" << QSize(555, 423) << 57 << 48 << 0;
    }
    void walkEveryControl() {
        auto [dialog, controls, framed, coloured] =
            fetch<bool, int, int, int>({"dialog", "controls", "framed", "coloured"});
        WiredPanel panel;
        if (dialog)
            panel.window->mnuConfig()->trigger();
        QWidget *window =
            dialog ? static_cast<QWidget *>(panel.window->configDialog()) : panel.window.get();
        QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(top->role(), dialog ? QAccessible::Dialog : QAccessible::Window);
        QList<QAccessibleInterface *> found;
        collectControls(top, found);
        QCOMPARE(found.size(), controls);
        QStringList names;
        for (QAccessibleInterface *control : found) {
            const QString name = spokenName(control), object = control->object()->objectName();
            QVERIFY2(!name.trimmed().isEmpty() && !names.contains(name) && name.toInt() == 0 &&
                         name != control->text(QAccessible::Value), // not the list's item
                     qPrintable(object + QStringLiteral(": ") + name));
            names << name;
        }
        const layout::Controls &all =
            dialog ? panel.window->configDialog()->controls() : panel.window->controls();
        QTEST(window->windowTitle(), "title");
        QTEST(dialog ? window->size() : panel.window->centralWidget()->size(), "size");
        const QStringList faults = layoutFaults(all, dialog ? frmUDCharLayout() : frmMainLayout());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        // Fixed backgrounds keep their text readable on the dark desktop.
        QVERIFY(qFuzzyCompare(layout::contrastRatio(Qt::black, Qt::white), 21.0));
        for (const layout::Item &item : dialog ? frmUDCharLayout() : frmMainLayout()) {
            if (!item.background || item.kind == layout::Kind::PixelCell)
                continue; // a cell shows no text
            QWidget *w = all.find(item.name, item.index);
            const bool field = qobject_cast<QLineEdit *>(w);
            QVERIFY2(layout::contrastRatio(
                         w->palette().color(field ? QPalette::Base : QPalette::Window),
                         w->palette().color(field ? QPalette::Text : QPalette::WindowText)) >= 4.5,
                     qPrintable(w->objectName()));
            --coloured;
        }
        QCOMPARE(coloured, 0);
        // Frames as the original drew them: nothing placed in one crosses its border or title.
        for (QWidget *w : all.all())
            if (auto *frame = qobject_cast<FrameBox *>(w))
                for (QWidget *other : all.all()) {
                    const QRect at(other->mapTo(window, QPoint()) - frame->mapTo(window, QPoint()),
                                   other->size());
                    if (other == frame || !at.intersects(frame->rect()))
                        continue;
                    --framed;
                    QVERIFY2(frame->borderRect().adjusted(2, 2, -2, -2).contains(at) &&
                                 !at.intersects(frame->titleRect()),
                             qPrintable(other->objectName()));
                }
        QCOMPARE(framed, 0);
        if (!dialog)
            return;
        // A cell is a check box whose state is its pixel; its action toggles the pixel.
        auto *cell = QAccessible::queryAccessibleInterface(window->findChild<QWidget *>("UDC1(1)"));
        QVERIFY(cell->role() == QAccessible::CheckBox && !cell->state().checked);
        QCOMPARE(cell->text(QAccessible::Name), "Row 1, column 5");
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(cell->state().checkable && cell->state().checked);
    }

    void keysReachAndWorkTheControls_data() {
        // focus: owner of the keyboard afterwards; "" not checked
        columns<QString, QString, QString, QString>({"start", "keys", "focus", "state"});
        const char *rows[][5] = {
            {"arrows move among cells, stop at the edge; Space lights", "UDC1(16)",
             "Right Down Left Left Space", "UDC1A(16)", "dialog, 0x10, 9600, 0 bytes"},
            {"Return clicks the focused button", "cmdClrSU", "Return", "cmdClrSU",
             "dialog, 0x00, 9600, 24 bytes"},
            {"Return in a text field does nothing", "txtLine1", "Return", "txtLine1",
             "dialog, 0x00, 9600, 0 bytes"},
            {"Escape closes the dialog", "UDC1(16)", "Esc", "", "closed, 9600, 0 bytes"},
            {"F10 then Return chooses Config LCD", "cmdSave", "F10 Return", "",
             "dialog, 0x00, 9600, 0 bytes"},
            {"F10 then Escape goes back", "cmdSave", "F10 Esc", "cmdSave", "closed, 9600, 0 bytes"},
            // "Block Blinking" is wider than its list: it shows "Block Blin", not "ock Blinking".
            {"a list shows the start of its text after a choice", "cboCursor", "End Down", "",
             "closed, 9600, 0 bytes"},
            {"Tab leaves a list at its start, reaches only the selected option; an arrow moves",
             "cboComm", "Tab Right", "opt19200", "closed, 19200, 0 bytes"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4];
    }
    void keysReachAndWorkTheControls() {
        const auto [start, keys, focus, state] =
            fetch<QString, QString, QString, QString>({"start", "keys", "focus", "state"});
        WiredPanel panel;
        const auto find = [&](const QString &name) {
            QWidget *w = panel.window->controls().find(name);
            const FrmUDChar *d = panel.window->configDialog();
            return w || !d ? w : d->controls().find(name);
        };
        if (!find(start))
            panel.window->mnuConfig()->trigger();
        QWidget *window = find(start)->window();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        panel.peer.readAvailable();
        find(start)->setFocus(Qt::OtherFocusReason);
        for (const QString &key : keys.split(u' '))
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
        const FrmUDChar *dialog = panel.window->configDialog();
        QStringList now{dialog && dialog->isVisible() ? "dialog" : "closed"};
        if (dialog && dialog->isVisible())
            now << dialog->controls().get<QLabel>("lblRow2")->text();
        now << panel.port->settings().section(u',', 0, 0)
            << QString::number(panel.peer.readAvailable().size()) + QStringLiteral(" bytes");
        QCOMPARE(now.join(QStringLiteral(", ")), state);
        QVERIFY(panel.boxes.shown.isEmpty());
        QWidget *owner = QApplication::focusWidget();
        while (!focus.isEmpty() && owner && owner != find(focus))
            owner = owner->parentWidget();
        QVERIFY(focus.isEmpty() || owner);
        if (auto *list = qobject_cast<QComboBox *>(find(start)))
            QCOMPARE(list->lineEdit()->cursorPosition(), 0);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
