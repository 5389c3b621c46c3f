// Both windows as a screen reader, a keyboard user and a dark desktop meet them: what the
// accessible tree names each control, where the keys lead, readable fixed colours, lists
// that show the start of their text, frames whose border no control crosses.
#include "config/frmudchar.h"
#include "platform/framebox.h"
#include "support/wiredpanel.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

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

FrmUDChar *openDialog(WiredPanel &panel) {
    panel.window->mnuConfig()->trigger();
    return panel.window->configDialog();
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasItsOwnSpokenName_data() {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<int>("controls");
        QTest::addColumn<int>("framed"); // controls that stand within a frame
        QTest::newRow("main window: 40 controls and two menu entries") << false << 42 << 61;
        QTest::newRow("dialog: 40 cells, 17 controls, the grid over its frame") << true << 57 << 48;
    }
    void everyControlHasItsOwnSpokenName() {
        QFETCH(bool, dialog);
        QFETCH(int, controls);
        QFETCH(int, framed);
        // Names that say what the control does, where its caption alone would not.
        const QString said = "|cboComm=Select Port Number|cboColumn=Column|cboOut2=Output 2|"
                             "cboCursor=Cursor type|Backlightlevel=Adjust Brightness|"
                             "cmdCustom(2)=Insert custom character 3|"
                             "txtLine1=Startup screen row 0|UDC1B(4)=Row 3, column 3|";
        WiredPanel panel;
        QWidget *window = dialog ? openDialog(panel) : static_cast<QWidget *>(panel.window.get());
        QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(top->role(), dialog ? QAccessible::Dialog : QAccessible::Window);
        QList<QAccessibleInterface *> found;
        collectControls(top, found);
        QCOMPARE(found.size(), controls);
        QStringList names;
        for (QAccessibleInterface *control : found) {
            const QString name = spokenName(control), object = control->object()->objectName();
            const QString what = object + QStringLiteral(": ") + name;
            QVERIFY2(!name.trimmed().isEmpty() && !names.contains(name), qPrintable(what));
            QVERIFY2(name.toInt() == 0 && name != control->text(QAccessible::Value),
                     qPrintable(what)); // neither a number nor the list's item
            QVERIFY2(!said.contains(u'|' + object + u'=') ||
                         said.contains(u'|' + object + u'=' + name + u'|'),
                     qPrintable(what));
            names << name;
        }
        // Frames as the original drew them: nothing placed in one crosses its border or title.
        const layout::Controls &all =
            dialog ? panel.window->configDialog()->controls() : panel.window->controls();
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
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(cell->state().checkable && cell->state().checked);
    }

    void keysReachAndWorkTheControls_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus"); // owner of the keyboard afterwards; "" not checked
        QTest::addColumn<QString>("state");
        const char *rows[][5] = {
            {"arrows move among cells, stop at the edge; Space lights", "UDC1(16)",
             "Right Down Left Left Space", "UDC1A(16)", "dialog, 0x10, 9600, 0 bytes"},
            {"Return clicks the focused button", "cmdSetAll", "Return", "cmdSetAll",
             "dialog, 0x1F, 9600, 0 bytes"},
            {"Enter clicks the focused button", "cmdClrSU", "Enter", "cmdClrSU",
             "dialog, 0x00, 9600, 24 bytes"},
            {"Return in a text field does nothing", "txtLine1", "Return", "txtLine1",
             "dialog, 0x00, 9600, 0 bytes"},
            {"Escape closes the dialog", "UDC1(16)", "Esc", "", "closed, 9600, 0 bytes"},
            {"Alt+C opens the dialog", "txtASCIIInput", "Alt+C", "", "dialog, 0x00, 9600, 0 bytes"},
            {"F10 then Return chooses Config LCD", "cmdSave", "F10 Return", "",
             "dialog, 0x00, 9600, 0 bytes"},
            {"F10 then Escape goes back", "cmdSave", "F10 Esc", "cmdSave", "closed, 9600, 0 bytes"},
            {"Tab skips the unselected speed option", "cboComm", "Tab", "opt9600",
             "closed, 9600, 0 bytes"},
            {"an arrow selects the other speed option", "opt9600", "Right", "opt19200",
             "closed, 19200, 0 bytes"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4];
    }
    void keysReachAndWorkTheControls() {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(QString, state);
        WiredPanel panel;
        const auto find = [&](const QString &name) {
            QWidget *w = panel.window->controls().find(name);
            const FrmUDChar *d = panel.window->configDialog();
            return w || !d ? w : d->controls().find(name);
        };
        QWidget *window =
            find(start) ? panel.window.get() : static_cast<QWidget *>(openDialog(panel));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        panel.peer.readAvailable();
        find(start)->setFocus(Qt::OtherFocusReason);
        for (const QString &key : keys.split(u' ')) {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
            if (key == u"F10")
                QCOMPARE(panel.window->menuBar()->activeAction(), panel.window->mnuConfig());
        }
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
    }

    void contrastRatio_data() {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white, the most") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("one colour, the least") << QColor(0, 255, 0) << QColor(0, 255, 0) << 1.0;
        QTest::newRow("blue on yellow") << QColor(0, 0, 192) << QColor(255, 255, 192) << 11.54;
    }
    void contrastRatio() {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY(qAbs(layout::contrastRatio(a, b) - ratio) < 0.01 * ratio);
        QCOMPARE(layout::contrastRatio(b, a), layout::contrastRatio(a, b));
    }

    void fixedBackgroundsStayReadable_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light desktop") << false;
        QTest::newRow("dark desktop") << true;
    }
    void fixedBackgroundsStayReadable() {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        const QColor grey(45, 45, 48), text(230, 230, 230);
        if (dark)
            QApplication::setPalette(QPalette(text, grey, grey.lighter(), grey.darker(), grey, text,
                                              Qt::white, grey.darker(), grey));
        WiredPanel panel;
        panel.window->mnuConfig()->trigger();
        int checked = 0;
        for (const auto &[items, controls] :
             {std::pair{frmMainLayout(), &panel.window->controls()},
              {frmUDCharLayout(), &panel.window->configDialog()->controls()}})
            for (const layout::Item &item : items) {
                if (!item.background || item.kind == layout::Kind::PixelCell)
                    continue; // a cell shows no text
                QWidget *w = controls->find(item.name, item.index);
                const bool field = qobject_cast<QLineEdit *>(w);
                const double ratio = layout::contrastRatio(
                    w->palette().color(field ? QPalette::Base : QPalette::Window),
                    w->palette().color(field ? QPalette::Text : QPalette::WindowText));
                QVERIFY2(ratio >= 4.5, qPrintable(w->objectName()));
                ++checked;
            }
        QApplication::setPalette(before);
        QCOMPARE(checked, 6); // the typing field, the two monitor lines, the three inputs
    }

    // "Block Blinking" is wider than its field: it shows "Block Blin", not "ock Blinking",
    // after the choice and after the keyboard leaves.
    void listShowsTheStartOfItsText() {
        WiredPanel panel;
        auto *list = panel.get<QComboBox>("cboCursor");
        list->setCurrentIndex(1);
        QCOMPARE(list->lineEdit()->cursorPosition(), 0);
        list->lineEdit()->end(false);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(list->lineEdit(), &leave);
        QCOMPARE(list->lineEdit()->cursorPosition(), 0);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
