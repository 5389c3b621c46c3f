// Both windows as a screen reader and a keyboard user meet them: what the accessible tree
// names each control, and where the keys lead.
#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/pixelcell.h"
#include "support/messageboxrecorder.h"
#include "support/recordingserialport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

struct Panel {
    QTemporaryDir dir;
    ModVariables vars;
    ModIni ini{dir.path()};
    RecordingSerialPort port;
    MessageBoxRecorder boxes;
    FrmMain window{vars, ini, port, boxes};

    FrmUDChar *openDialog() {
        window.mnuConfig()->trigger();
        return window.configDialog();
    }
    QWidget *find(const QString &name) {
        if (QWidget *w = window.controls().find(name))
            return w;
        return window.configDialog() ? window.configDialog()->controls().find(name) : nullptr;
    }
    // What the keys can have changed.
    QString state() {
        const FrmUDChar *dialog = window.configDialog();
        const auto *row2 = dialog ? dialog->controls().get<QLabel>("lblRow2") : nullptr;
        return QStringList{dialog && dialog->isVisible() ? "dialog open" : "no dialog",
                           row2 ? row2->text() : "-", port.settings(),
                           QString::number(boxes.shown.size()) + " boxes",
                           QString::number(port.written().size()) + " bytes"}
            .join(u", ");
    }
};

// The name a screen reader speaks: the control's own name, but for a list (which Qt names by
// its current item) or a control without a name the first label linked to it.
QString spokenName(QAccessibleInterface *control) {
    if (control->role() != QAccessible::ComboBox && !control->text(QAccessible::Name).isEmpty())
        return control->text(QAccessible::Name);
    for (const auto &[label, relation] : control->relations(QAccessible::Label))
        if (label && !label->text(QAccessible::Name).isEmpty())
            return label->text(QAccessible::Name);
    return {};
}

void collectControls(QAccessibleInterface *parent, QList<QAccessibleInterface *> &found) {
    static const QList<QAccessible::Role> Interactive{
        QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::ComboBox,   QAccessible::Slider,   QAccessible::EditableText,
        QAccessible::MenuItem};
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (!child || child->state().invisible)
            continue;
        if (Interactive.contains(child->role()))
            found << child;
        if (child->role() != QAccessible::ComboBox) // its items are not controls of the window
            collectControls(child, found);
    }
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void everyControlHasItsOwnSpokenName_data() {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<int>("controls");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::newRow("main window: 40 controls and the two menu entries")
            << false << 42 << QAccessible::Window;
        QTest::newRow("dialog: 40 cells and 17 controls") << true << 57 << QAccessible::Dialog;
    }
    void everyControlHasItsOwnSpokenName() {
        QFETCH(bool, dialog);
        QFETCH(int, controls);
        QFETCH(QAccessible::Role, role);
        Panel panel;
        panel.window.show();
        QWidget *window = dialog ? static_cast<QWidget *>(panel.openDialog()) : &panel.window;
        QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(top->role(), role);
        QList<QAccessibleInterface *> found;
        collectControls(top, found);
        QCOMPARE(found.size(), controls);
        QStringList names;
        for (QAccessibleInterface *control : found) {
            const QString name = spokenName(control);
            const QString what =
                QStringLiteral("%1: \"%2\"").arg(control->object()->objectName(), name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(what));
            QVERIFY2(!names.contains(name), qPrintable(what + QStringLiteral(" twice")));
            QVERIFY2(!QRegularExpression(QStringLiteral("^[0-9 ]*$")).match(name).hasMatch(),
                     qPrintable(what + QStringLiteral(" is a number")));
            QVERIFY2(name != control->text(QAccessible::Value),
                     qPrintable(what + QStringLiteral(" is its value")));
            names << name;
        }
    }

    void namesSayWhatTheControlDoes_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("port list, by its label") << "cboComm"
                                                 << "Select Port Number";
        QTest::newRow("list with a label beneath") << "cboColumn"
                                                   << "Column";
        QTest::newRow("output list") << "cboOut2"
                                     << "Output 2";
        QTest::newRow("cursor list, no label on screen") << "cboCursor"
                                                         << "Cursor type";
        QTest::newRow("slider") << "Backlightlevel"
                                << "Adjust Brightness";
        QTest::newRow("button captioned 3") << "cmdCustom(2)"
                                            << "Insert custom character 3";
        QTest::newRow("startup field") << "txtLine1"
                                       << "Startup screen row 0";
        QTest::newRow("cell of the third row, middle column") << "UDC1B(4)"
                                                              << "Row 3, column 3";
    }
    void namesSayWhatTheControlDoes() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        Panel panel;
        panel.openDialog();
        QCOMPARE(spokenName(QAccessible::queryAccessibleInterface(panel.find(control))), name);
    }

    // The cell is a check box whose state is its pixel; its action toggles the pixel.
    void cellIsCheckedWhenLit() {
        Panel panel;
        panel.openDialog();
        QAccessibleInterface *cell = QAccessible::queryAccessibleInterface(panel.find("UDC1A(16)"));
        QCOMPARE(cell->role(), QAccessible::CheckBox);
        QVERIFY(cell->state().checkable && !cell->state().checked);
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(cell->state().checked);
        QCOMPARE(panel.state(), "dialog open, 0x10, 9600,n,8,1, 0 boxes, 0 bytes");
    }

    void keysReachAndWorkTheControls_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus"); // owner of the keyboard afterwards; "" not checked
        QTest::addColumn<QString>("state");
        QTest::newRow("arrows move among the cells, stop at the edge, Space lights")
            << "UDC1(16)"
            << "Right Down Left Left Space"
            << "UDC1A(16)"
            << "dialog open, 0x10, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("Return clicks the focused button")
            << "cmdSetAll"
            << "Return"
            << "cmdSetAll"
            << "dialog open, 0x1F, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("Enter clicks the focused button")
            << "cmdClrSU"
            << "Enter"
            << "cmdClrSU"
            << "dialog open, 0x00, 9600,n,8,1, 0 boxes, 24 bytes";
        QTest::newRow("Return in a text field does nothing")
            << "txtLine1"
            << "Return"
            << "txtLine1"
            << "dialog open, 0x00, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("Escape closes the dialog") << "UDC1(16)"
                                                  << "Esc"
                                                  << ""
                                                  << "no dialog, -, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("Alt+C opens the dialog")
            << "txtASCIIInput"
            << "Alt+C"
            << ""
            << "dialog open, 0x00, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("F10 then Return chooses Config LCD")
            << "cmdSave"
            << "F10 Return"
            << ""
            << "dialog open, 0x00, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("F10 then Escape goes back") << "cmdSave"
                                                   << "F10 Esc"
                                                   << "cmdSave"
                                                   << "no dialog, -, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("Tab skips the unselected speed option")
            << "cboComm"
            << "Tab"
            << "opt9600"
            << "no dialog, -, 9600,n,8,1, 0 boxes, 0 bytes";
        QTest::newRow("arrow selects the other speed option")
            << "opt9600"
            << "Right"
            << "opt19200"
            << "no dialog, -, 19200,n,8,1, 0 boxes, 0 bytes";
    }
    void keysReachAndWorkTheControls() {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(QString, state);
        Panel panel;
        panel.window.show();
        QWidget *window = &panel.window;
        if (!panel.window.controls().find(start))
            window = panel.openDialog();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        panel.find(start)->setFocus(Qt::OtherFocusReason);
        for (const QString &key : keys.split(u' ')) {
            if (key == u"F10") // the menu bar takes the keyboard only where the focus is
                QVERIFY(!panel.window.menuBar()->hasFocus());
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
            if (key == u"F10")
                QCOMPARE(panel.window.menuBar()->activeAction(), panel.window.mnuConfig());
        }
        QCOMPARE(panel.state(), state);
        if (!focus.isEmpty()) {
            QWidget *owner = QApplication::focusWidget();
            while (owner && owner != panel.find(focus))
                owner = owner->parentWidget();
            QVERIFY2(owner, qPrintable(QApplication::focusWidget()->objectName()));
        }
        if (focus == u"opt19200")
            QVERIFY(panel.find(focus)->property("checked").toBool());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
