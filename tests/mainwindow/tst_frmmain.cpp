// The main window through its controls, on a real serial line; the settings file.
#include "mainwindow/lists.h"
#include "support/wiredpanel.h"

#include <QDir>
#include <QHelpEvent>

using namespace torvika;
using namespace torvika::test;

namespace {

const QString NotAvailable = QStringLiteral("SELECTED PORT NOT AVAILABLE!");

void listRow(const char *list, const char *button, int index, const char *named) {
    QTest::newRow(list) << QString(list) << QString(button) << index << QString(named);
}
QByteArray ini(const char *port, const char *setting, const char *bl) {
    return QByteArrayLiteral("[Settings]\nCommPort=") + port + "\nSetting=" + setting +
           "\n[LCD]\nBL=" + bl + "\n";
}
QString inputLabels(WiredPanel &w) {
    const auto label = [&](int i) { return w.get<QLabel>("lblInput", i)->text(); };
    return label(0) + u' ' + label(1) + u' ' + label(2);
}

} // namespace

class TstFrmMain : public QObject {
    Q_OBJECT
private slots:
    // Keys and page steps send each value the slider takes, no more; a drag only its last.
    void sliderSendsEachValue() {
        WiredPanel w;
        auto *slider = w.get<QSlider>("Backlightlevel");
        for (const Qt::Key key : {Qt::Key_End, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Left})
            QTest::keyClick(slider, key);
        slider->setSliderDown(true);
        for (const int level : {100, 120})
            slider->setValue(level);
        slider->setSliderDown(false);
        QCOMPARE(w.peer.readAvailable(30), hex("FE28FA FE28F5 FE2832 FE2878"));
    }

    void typedKeys_data() {
        columns<QString, QByteArray, QString, bool>({"keys", "bytes", "field", "refused"});
        QTest::newRow("A, B send 41 42, show only B") << "AB" << hex("4142") << "B" << false;
        QTest::newRow("Back space, Enter empty the field") << "A\b\r" << hex("41") << "" << false;
        QTest::newRow("an emoji is refused, named") << "A\U0001F600" << hex("41") << "" << true;
    }
    void typedKeys() {
        QFETCH(QString, keys);
        WiredPanel w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        for (const char32_t code : keys.toUcs4()) {
            const Qt::Key key = code == '\b'   ? Qt::Key_Backspace
                                : code == '\r' ? Qt::Key_Return
                                               : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Press, text, key, QString::fromUcs4(&code, 1),
                                Qt::NoModifier);
        }
        QTEST(w.peer.readAvailable(30), "bytes");
        QTEST(text->text(), "field");
        QTEST(w.boxes.texts().join(QString()).contains(u"32 to 255"), "refused");
    }

    // Only what is typed goes out: an input method's commit does, pasting does not.
    void onlyTypingSends() {
        WiredPanel w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        QInputMethodEvent compose(QStringLiteral("´"), {}), commit;
        commit.setCommitString(QStringLiteral("é"));
        QCoreApplication::sendEvent(text, &compose);
        QCoreApplication::sendEvent(text, &commit);
        QCOMPARE(w.peer.readAvailable(30), hex("E9"));
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"), QClipboard::Selection);
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::mouseClick(text, Qt::MiddleButton);
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
        QCOMPARE(text->text(), QStringLiteral("é"));
        QVERIFY(text->contextMenuPolicy() == Qt::NoContextMenu && !text->acceptDrops());
    }

    // One row per list: text that is none of its items sends nothing and says what to choose.
    void listWithoutAValidChoiceSendsNothing_data() {
        columns<QString, QString, int, QString>({"list", "button", "index", "named"});
        listRow("cboRow", "cmdCurPos", -1,
                "\"Row\" shows \"9x\", which is not one of its values. Choose 0 or 1.");
        listRow("cboColumn", "cmdClearCR", 1, "\"Column\" shows \"9x\"");
        listRow("cboCursor", "cmdCursor", -1, "Choose Underline, Block Blinking or Hide.");
        listRow("cboGraph", "cmdGraph", 0,
                "\"Width\" shows \"9x\", which is not one of its values. Choose 1 to 80.");
        listRow("cboOut1", "cmdOut", -1, "\"Output 1\" shows");
        listRow("cboOut2", "cmdOut", -1,
                "\"Output 2\" shows \"9x\", which is not one of its values. Choose ON or OFF.");
        listRow("cboOut3", "cmdOut", -1, "\"Output 3\" shows");
    }
    void listWithoutAValidChoiceSendsNothing() {
        const auto [list, button, index, named] =
            fetch<QString, QString, int, QString>({"list", "button", "index", "named"});
        WiredPanel w;
        w.get<QComboBox>(qPrintable(list))->setEditText(QStringLiteral("9x"));
        QVERIFY(w.click(qPrintable(button), index));
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
        QCOMPARE(w.boxes.shown.size(), 1);
        QCOMPARE(w.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QVERIFY2(w.boxes.shown[0].text.contains(named), qPrintable(w.boxes.shown[0].text));
    }

    void readInput_data() {
        columns<QByteArray, int, QString>({"reply", "delayMs", "labels"}); // reply once FE 0A came
        QTest::newRow("FD: the high bits ignored") << hex("FD") << 0 << "HIGH LOW HIGH";
        QTest::newRow("extra bytes: only the first counts") << hex("0206FF") << 0 << "LOW HIGH LOW";
        QTest::newRow("no answer keeps the labels") << QByteArray() << 0 << "  ";
        QTest::newRow("too late: for the next read") << hex("07") << 300 << "  ";
    }
    void readInput() {
        const auto [reply, delayMs, labels] =
            fetch<QByteArray, int, QString>({"reply", "delayMs", "labels"});
        WiredPanel w;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (w.peer.readAvailable(0) == hex("FE0A") && !reply.isEmpty())
                QTimer::singleShot(delayMs, [&] { w.peer.write(reply); });
        });
        answer.start(2);
        QVERIFY(w.click("cmdReadInput"));
        QCOMPARE(inputLabels(w), labels);
        QCOMPARE(w.boxes.texts(),
                 labels.trimmed().isEmpty() ? QStringList{"No Response From LCD"} : QStringList{});
        QCOMPARE(w.trace(), QStringLiteral("FE 0A "));
        if (delayMs > 0) {
            QTest::qWait(delayMs);
            answer.stop();
            QVERIFY(w.click("cmdReadInput"));
            QCOMPARE(inputLabels(w), QStringLiteral("HIGH HIGH HIGH"));
        }
    }

    // A second read during the wait ends both waits; the inner one takes the answer.
    void secondReadDuringTheWait() {
        WiredPanel w;
        w.peer.write(hex("05"));
        QTimer::singleShot(30, [&] { w.click("cmdReadInput"); });
        QVERIFY(w.click("cmdReadInput"));
        QCOMPARE(inputLabels(w), QStringLiteral("HIGH LOW HIGH"));
        QCOMPARE(w.boxes.texts(), QStringList{"No Response From LCD"});
    }

    void deviceVanishesDuringTheInputWait() {
        WiredPanel w;
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.peer.read(1), hex("0D"));
        QTimer::singleShot(40, [&] { w.peer.closeMaster(); });
        QVERIFY(w.click("cmdReadInput"));
        QCOMPARE(w.boxes.texts(), QStringList{NotAvailable});
        QVERIFY2(w.boxes.shown[0].detail.contains(u"went away"),
                 qPrintable(w.boxes.shown[0].detail));
        QVERIFY(w.click("cmdLCD", 0)); // later clicks report the missing device
        QCOMPARE(w.boxes.texts(), QStringList(2, NotAvailable));
    }

    // Save asks first; No sends nothing (what Yes sends: tst_truereasons).
    void saveAsksFirst() {
        WiredPanel w;
        w.boxes.answers.enqueue(false);
        QVERIFY(w.click("cmdSave"));
        QCOMPARE(w.boxes.texts(), QStringList{"Save Settings in non-volatile memory"});
        QVERIFY(w.boxes.shown[0].question && w.boxes.shown[0].caption == u"Save Setting");
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
    }

    // The start applies the remembered values and names those it cannot use, once, when the
    // window shows; the close writes back what was read, not what was chosen meanwhile.
    void settingsAtStartAndClose_data() {
        columns<QByteArray, int, QString, int, QStringList>(
            {"file", "port", "settings", "slider", "shown"});
        QTest::newRow("port 3, 9600 and anything after it selects 9600 bps")
            << ini("3", "9600,e,7,2", "100") << 3 << "9600,e,7,2" << 100 << QStringList();
        QTest::newRow("another speed selects 19200 bps")
            << ini("20", "115200,n,8,1", "250") << 20 << "115200,n,8,1" << 250 << QStringList();
        QTest::newRow("no file: the design state, and a template at close")
            << QByteArray() << 1 << "9600,n,8,1" << 155 << QStringList();
        QTest::newRow("unusable values are named and kept")
            << ini("COM3", "9600,x,8,1", "4294967451") << 1 << "9600,n,8,1" << 155
            << QStringList{
                   "\"CommPort\" = \"COM3\" is not a port number from 1 to 20; port 1 is used.\n"
                   "\"Setting\" = \"9600,x,8,1\" cannot be used (the parity must be one of n, e, "
                   "o, m, s); \"9600,n,8,1\" is used.\n"
                   "\"BL\" = \"4294967451\" is not a brightness from 50 to 250; 155 is used."};
        QTest::newRow("a folder is named and kept")
            << QByteArray("folder") << 1 << "9600,n,8,1" << 155
            << QStringList{
                   " is a folder. The panel starts with its defaults and leaves the file as it is.",
                   "The settings could not be saved to %1: the file is a folder."};
    }
    void settingsAtStartAndClose() {
        const auto [file, port, shown] =
            fetch<QByteArray, int, QStringList>({"file", "port", "shown"});
        WiredPanel w(file == "folder" ? QByteArray() : file, false);
        if (file == "folder") {
            QVERIFY(QDir().mkpath(w.ini.fileName() + QStringLiteral("/keep")));
            w.window = std::make_unique<FrmMain>(w.vars, w.ini, *w.port, w.boxes);
        }
        QCOMPARE(w.port->commPort(), port);
        QTEST(w.port->settings(), "settings");
        QCOMPARE(w.get<QRadioButton>("opt9600")->isChecked(),
                 w.port->settings().startsWith(u"9600,"));
        QCOMPARE(w.get<QRadioButton>("opt19200")->isChecked(),
                 !w.get<QRadioButton>("opt9600")->isChecked());
        QTEST(w.get<QSlider>("Backlightlevel")->value(), "slider");
        for (const ListSpec &list : mainWindowLists()) // the items of the table, the first chosen
            QCOMPARE(w.get<QComboBox>(list.name)->currentText(),
                     list.items.value(list.name == QLatin1String("cboComm") ? port - 1 : 0));
        QVERIFY(w.boxes.shown.isEmpty()); // not before the window shows
        for (const bool visible : {true, false, true})
            w.window->setVisible(visible);
        QTest::qWait(10);
        QVERIFY(w.peer.readAvailable(0).isEmpty() && !w.port->isOpen()); // the start sends nothing
        w.get<QRadioButton>("opt19200")->click();
        w.get<QComboBox>("cboComm")->setCurrentIndex(19);
        emit w.get<QComboBox>("cboComm")->activated(19);
        QCOMPARE(w.port->commPort(), 20); // for this run, the last of the list too
        const QByteArray after = w.fileAfterClose();
        QCOMPARE(after,
                 file.isNull()
                     ? "[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n[LCD]\r\nBL=155\r\n"
                 : file == "folder" ? ""
                                    : file);
        QCOMPARE(w.boxes.texts().size(), shown.size());
        for (qsizetype i = 0; i < shown.size(); ++i)
            QVERIFY2(w.boxes.texts()[i].endsWith(shown[i].arg(w.ini.fileName())),
                     qPrintable(w.boxes.texts()[i]));
    }

    void windowAndItsDialog() {
        WiredPanel w;
        QCOMPARE(w.window->minimumSize(), w.window->maximumSize());
        QCOMPARE(w.window->mnuConfig()->text(), QStringLiteral("Config LCD"));
        FrmUDChar *dialog = w.dialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(w.click("cmdLCD", 2)); // the main window stays usable
        QCOMPARE(w.peer.readAvailable(30), hex("0D"));
        w.get<QRadioButton>("opt19200")->click(); // closes the port; the next command opens it
        QVERIFY(!w.port->isOpen() && w.click("cmdLCD", 0));
        QCOMPARE(w.port->qtPort().baudRate(), 19200);
        w.window->close();
        QVERIFY(!dialog->isVisible());
    }

    // Hovering over the port list shows each number's device and whether it is there.
    void portListToolTips() {
        WiredPanel w(UsualSettings + "20=/dev/serial/by-id/usb-nothing-here\r\n");
        auto *list = w.get<QComboBox>("cboComm");
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(list, &hover);
        QCOMPARE(list->toolTip(), QStringLiteral("Port 1: %1 (present)").arg(w.peer.slavePath()));
        QCOMPARE(list->itemData(19, Qt::ToolTipRole).toString(),
                 QStringLiteral("Port 20: /dev/serial/by-id/usb-nothing-here (not present)"));
    }
};

QTEST_MAIN(TstFrmMain)
#include "tst_frmmain.moc"
