// The main window through its controls, each frame read at the far end of a real serial line;
// its start and close with the settings file; its layout.
#include "mainwindow/lists.h"
#include "platform/fonts.h"
#include "support/layoutcheck.h"
#include "support/wiredpanel.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

const QString NotAvailable = QStringLiteral("SELECTED PORT NOT AVAILABLE!");

void buttonRow(const char *name, const char *button, int index, const char *bytes,
               const QStringList &choices = {}) {
    QTest::newRow(name) << QString(button) << index << choices << hex(bytes);
}
void listRow(const char *list, const char *button, int index, const char *named) {
    QTest::newRow(list) << QString(list) << QString(button) << index << QString(named);
}
void startRow(const char *name, const char *file, int port, const char *settings, bool is9600,
              int level) {
    QTest::newRow(name) << QByteArray(file) << port << QString(settings) << is9600 << level;
}

} // namespace

class TstFrmMain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void buttonsSendTheirFrames_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("choices"); // list=text, chosen first
        QTest::addColumn<QByteArray>("bytes");
        buttonRow("Cursor Home sends 0B", "cmdLCD", 0, "0B");
        buttonRow("Next Line sends 0C", "cmdLCD", 1, "0C");
        buttonRow("Clear Screen sends 0D", "cmdLCD", 2, "0D");
        buttonRow("Back space sends 08", "cmdBackspace", -1, "08");
        buttonRow("custom 1 sends 00", "cmdCustom", 0, "00");
        buttonRow("custom 8 sends 07", "cmdCustom", 7, "07");
        buttonRow("Cursor Left sends 0E", "cmdCL", -1, "0E");
        buttonRow("Cursor Right sends 0F", "cmdCR", -1, "0F");
        buttonRow("row 1 column 15 sends FE 32 01 0F", "cmdCurPos", -1, "FE32010F",
                  {"cboRow=1", "cboColumn=15"});
        buttonRow("Clear Selected Row uses only the row", "cmdClearCR", 0, "FE2D01",
                  {"cboRow=1", "cboColumn=15"});
        buttonRow("Clear Selected Column uses only the column", "cmdClearCR", 1, "FE2E0F",
                  {"cboRow=1", "cboColumn=15"});
        buttonRow("Block Blinking sends FE 02", "cmdCursor", -1, "FE02",
                  {"cboCursor=Block Blinking"});
        buttonRow("ON sends FE 06", "cmdBL", 0, "FE06");
        buttonRow("OFF sends FE 07", "cmdBL", 1, "FE07");
        buttonRow("outputs OFF ON OFF send FE 2F 02", "cmdOut", -1, "FE2F02",
                  {"cboOut1=OFF", "cboOut3=OFF"});
        buttonRow("Init Graph Utility sends FE 04", "cmdInitGraph", -1, "FE04");
        buttonRow("width 1 left to right sends FE 2B 01", "cmdGraph", 0, "FE2B01");
        buttonRow("width 80 right to left sends FE 2C 50", "cmdGraph", 1, "FE2C50",
                  {"cboGraph=80"});
        buttonRow("Load Custom Characters sends FE 08", "cmdCustomChar", -1, "FE08");
        buttonRow("Display Startup Screen sends FE 16", "cmdDSU", -1, "FE16");
    }
    void buttonsSendTheirFrames() {
        QFETCH(QString, button);
        QFETCH(int, index);
        QFETCH(QStringList, choices);
        QFETCH(QByteArray, bytes);
        WiredPanel w;
        for (const QString &c : choices)
            w.choose(qPrintable(c.section(u'=', 0, 0)), c.section(u'=', 1));
        QVERIFY(w.click(qPrintable(button), index));
        QCOMPARE(w.peer.readAvailable(20).toHex(' '), bytes.toHex(' '));
        QCOMPARE(w.trace(), QString::fromLatin1(bytes.toHex(' ').toUpper() + ' '));
        QVERIFY(w.boxes.shown.isEmpty());
    }

    // Keys and page steps send each value the slider takes, no more.
    void sliderSendsEachValue() {
        WiredPanel w;
        auto *slider = w.get<QSlider>("Backlightlevel");
        QTest::keyClick(slider, Qt::Key_End);
        QTest::keyClick(slider, Qt::Key_PageDown);
        QTest::keyClick(slider, Qt::Key_Home);
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(w.peer.readAvailable(30).toHex(' '), hex("FE28FA FE28F5 FE2832").toHex(' '));
    }

    void typedKeys_data() {
        QTest::addColumn<QString>("keys"); // one key each: a character, \b back space, \r Enter
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("refused");
        QTest::newRow("A then B sends 41 42 and shows only B")
            << "AB" << hex("4142") << "B" << false;
        QTest::newRow("Back space and Enter send nothing, empty the field")
            << "A\b\r" << hex("41") << "" << false;
        QTest::newRow("é and þ go out as E9 FE") << "éþ" << hex("E9FE") << "þ" << false;
        QTest::newRow("an emoji is refused with a message")
            << "A\U0001F600" << hex("41") << "" << true;
    }
    void typedKeys() {
        QFETCH(QString, keys);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        WiredPanel w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        for (const char32_t code : keys.toUcs4()) {
            const QString ch = QString::fromUcs4(&code, 1);
            const Qt::Key key = code == '\b'   ? Qt::Key_Backspace
                                : code == '\r' ? Qt::Key_Return
                                               : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Press, text, key, ch, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, text, key, ch, Qt::NoModifier);
        }
        QCOMPARE(w.peer.readAvailable(30), bytes);
        QCOMPARE(text->text(), field);
        QTEST(w.boxes.texts().join(QString()).contains(u"32 to 255"), "refused");
    }

    // Only what is typed goes out: an input method's commit does, pasting does not.
    void onlyTypingSends() {
        WiredPanel w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        QInputMethodEvent compose(QStringLiteral("´"), {});
        QCoreApplication::sendEvent(text, &compose);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("é"));
        QCoreApplication::sendEvent(text, &commit);
        QCOMPARE(w.peer.readAvailable(30), hex("E9"));
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"), QClipboard::Selection);
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::mouseClick(text, Qt::MiddleButton);
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
        QCOMPARE(text->text(), QStringLiteral("é"));
        QCOMPARE(text->contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(!text->acceptDrops());
    }

    void listWithoutAValidChoiceSendsNothing_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("named");
        listRow("cboRow", "cmdCurPos", -1,
                "\"Row\" shows \"99x\", which is not one of its values. Choose 0 or 1.");
        listRow("cboColumn", "cmdClearCR", 1, "Choose 0 to 15.");
        listRow("cboCursor", "cmdCursor", -1, "Choose Underline, Block Blinking or Hide.");
        listRow("cboGraph", "cmdGraph", 0, "Choose 1 to 80.");
        listRow("cboOut1", "cmdOut", -1, "\"Output 1\" shows");
        listRow("cboOut2", "cmdOut", -1,
                "\"Output 2\" shows \"99x\", which is not one of its values. Choose ON or OFF.");
        listRow("cboOut3", "cmdOut", -1, "\"Output 3\" shows");
    }
    void listWithoutAValidChoiceSendsNothing() {
        QFETCH(QString, list);
        QFETCH(QString, button);
        QFETCH(int, index);
        QFETCH(QString, named);
        WiredPanel w;
        QCOMPARE(w.get<QComboBox>(qPrintable(list))->count(),
                 listSpec(qPrintable(list)).items.size());
        w.get<QComboBox>(qPrintable(list))->setEditText(QStringLiteral("99x"));
        QVERIFY(w.click(qPrintable(button), index));
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
        QCOMPARE(w.boxes.shown.size(), 1);
        QCOMPARE(w.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QVERIFY2(w.boxes.shown[0].text.contains(named), qPrintable(w.boxes.shown[0].text));
    }

    void readInput_data() {
        QTest::addColumn<QByteArray>("reply"); // written by the peer once it sees FE 0A
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<QString>("labels");
        QTest::newRow("05 shows HIGH LOW HIGH") << hex("05") << 0 << "HIGH LOW HIGH";
        QTest::newRow("FA: the high bits are ignored") << hex("FA") << 0 << "LOW HIGH LOW";
        QTest::newRow("extra bytes: only the first counts") << hex("0106FF") << 0 << "HIGH LOW LOW";
        QTest::newRow("no answer keeps the labels") << QByteArray() << 0 << "  ";
        QTest::newRow("an answer after the wait is too late") << hex("07") << 300 << "  ";
    }
    void readInput() {
        QFETCH(QByteArray, reply);
        QFETCH(int, delayMs);
        QFETCH(QString, labels);
        WiredPanel w;
        QTimer answer;
        answer.setInterval(2);
        connect(&answer, &QTimer::timeout, [&] {
            if (w.peer.readAvailable(0) != hex("FE0A"))
                return;
            answer.stop();
            if (!reply.isEmpty())
                QTimer::singleShot(delayMs, [&] { w.peer.write(reply); });
        });
        answer.start();
        QVERIFY(w.click("cmdReadInput"));
        QStringList shown;
        for (int i = 0; i < 3; ++i)
            shown << w.get<QLabel>("lblInput", i)->text();
        QCOMPARE(shown.join(u' '), labels);
        QCOMPARE(w.boxes.texts(),
                 labels.trimmed().isEmpty() ? QStringList{"No Response From LCD"} : QStringList{});
        QCOMPARE(w.trace(), QStringLiteral("FE 0A "));
        if (delayMs > 0) { // the late answer is taken by the next read
            QTest::qWait(delayMs);
            QVERIFY(w.click("cmdReadInput"));
            QCOMPARE(w.get<QLabel>("lblInput", 2)->text(), QStringLiteral("HIGH"));
        }
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

    void save_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("port");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("shown");
        const QString question = QStringLiteral("Save Settings in non-volatile memory");
        QTest::newRow("Yes sends FE 14 0D then Settings Saved")
            << true << 1 << hex("FE140D") + "Settings Saved" << QStringList{question};
        QTest::newRow("No sends nothing") << false << 1 << QByteArray() << QStringList{question};
        QTest::newRow("a failed frame sends no text, does not wait")
            << true << 7 << QByteArray() << QStringList{question, NotAvailable};
    }
    void save() {
        QFETCH(bool, yes);
        QFETCH(int, port);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, shown);
        WiredPanel w;
        w.port->setCommPort(port); // nothing behind /dev/ttyS6 here
        w.boxes.answers.enqueue(yes);
        QVERIFY(w.click("cmdSave"));
        QCOMPARE(w.boxes.texts(), shown);
        QCOMPARE(w.boxes.shown[0].caption, QStringLiteral("Save Setting"));
        QVERIFY(w.boxes.shown[0].question);
        QCOMPARE(w.peer.readAvailable(30), bytes);
        QVERIFY(w.click("cmdReadInput")); // also no wait for a reply that cannot come
        QCOMPARE(w.boxes.shown.size(), shown.size() + 1);
    }

    void startAppliesTheRememberedValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("is9600");
        QTest::addColumn<int>("slider");
        startRow("port 3, 9600 with anything after it selects 9600 bps",
                 "[Settings]\nCommPort=3\nSetting=9600,e,7,2\n[LCD]\nBL=100\n", 3, "9600,e,7,2",
                 true, 100);
        startRow("any other speed selects 19200 bps",
                 "[Settings]\nCommPort=20\nSetting=115200,n,8,1\n[LCD]\nBL=250\n", 20,
                 "115200,n,8,1", false, 250);
        startRow("no file: the design state", nullptr, 1, "9600,n,8,1", true, 155);
    }
    void startAppliesTheRememberedValues() {
        QFETCH(QByteArray, file);
        QFETCH(int, port);
        QFETCH(QString, settings);
        QFETCH(bool, is9600);
        QFETCH(int, slider);
        WiredPanel w(file, false);
        QCOMPARE(w.port->commPort(), port);
        QCOMPARE(w.port->settings(), settings);
        QCOMPARE(w.get<QComboBox>("cboComm")->currentText(), QString::number(port));
        QCOMPARE(w.get<QRadioButton>("opt9600")->isChecked(), is9600);
        QCOMPARE(w.get<QRadioButton>("opt19200")->isChecked(), !is9600);
        QCOMPARE(w.get<QSlider>("Backlightlevel")->value(), slider);
        for (const ListSpec &list :
             mainWindowLists()) // every list offers its items, the first chosen
            QCOMPARE(w.get<QComboBox>(list.name)->currentText(),
                     list.items.value(list.name == QLatin1String("cboComm") ? port - 1 : 0));
        w.window->show();
        QTest::qWait(10);
        QVERIFY(w.peer.readAvailable(0).isEmpty()); // the start sends nothing
        QVERIFY(!w.port->isOpen());
        QVERIFY(w.boxes.shown.isEmpty());
    }

    // Whatever the user chose meanwhile is not remembered; a missing key gets its default.
    void closeWritesBackWhatWasRead() {
        WiredPanel w("[Settings]\r\nCommPort=COM3\r\n[Ports]\r\n1=%PTY%\r\n", false);
        QCOMPARE(w.port->commPort(), 1);
        w.window->show();
        QTRY_COMPARE(w.boxes.shown.size(), 1);
        QVERIFY(w.boxes.shown[0].text.contains(w.ini.fileName()));
        QVERIFY(w.boxes.shown[0].text.contains(QLatin1String("\"CommPort\" = \"COM3\"")));
        w.window->hide();
        w.window->show(); // shown once, not at every showing
        w.get<QSlider>("Backlightlevel")->setValue(60);
        w.get<QRadioButton>("opt19200")->click();
        w.get<QComboBox>("cboComm")->setCurrentIndex(6);
        emit w.get<QComboBox>("cboComm")->activated(6);
        QCOMPARE(w.port->commPort(), 7); // for this run
        QCOMPARE(w.fileAfterClose(), "[Settings]\r\nCommPort=COM3\r\nSetting=9600,n,8,1\r\n"
                                     "[Ports]\r\n1=" +
                                         w.peer.slavePath().toLocal8Bit() +
                                         "\r\n[LCD]\r\nBL=155\r\n");
        QCOMPARE(w.boxes.shown.size(), 1);
    }

    void aSettingsFileThatIsAFolderIsNamedAndKept() {
        WiredPanel w(QByteArray(), false);
        QVERIFY(QDir().mkpath(w.ini.fileName() + QStringLiteral("/keep")));
        w.window = std::make_unique<FrmMain>(w.vars, w.ini, *w.port, w.boxes);
        w.window->show();
        QTRY_COMPARE(w.boxes.shown.size(), 1);
        QVERIFY(w.boxes.shown[0].text.contains(w.ini.fileName() + QStringLiteral(" is a folder")));
        w.window->close();
        QCOMPARE(w.boxes.shown.size(), 2);
        QVERIFY(w.boxes.shown[1].text.startsWith(
            QStringLiteral("The settings could not be saved to ") + w.ini.fileName()));
        QVERIFY(QFileInfo(w.ini.fileName() + QStringLiteral("/keep")).isDir());
    }

    // The options close the port; the next command opens it at the new speed.
    void lineSpeedOptions() {
        WiredPanel w;
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.peer.read(1), hex("0D"));
        w.get<QRadioButton>("opt19200")->click();
        QVERIFY(!w.port->isOpen());
        QVERIFY(w.click("cmdLCD", 0));
        QCOMPARE(w.port->qtPort().baudRate(), 19200);
        w.get<QRadioButton>("opt9600")->click();
        QVERIFY(!w.get<QRadioButton>("opt19200")->isChecked());
        QCOMPARE(w.port->settings(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(w.vars.SavedSetting, QStringLiteral("9600,n,8,1"));
    }

    void windowAndItsDialog() {
        WiredPanel w;
        QCOMPARE(w.window->windowTitle(), QStringLiteral("TORVIKA Serial LCD"));
        QCOMPARE(w.window->centralWidget()->size(), QSize(694, 533));
        QCOMPARE(w.window->minimumSize(), w.window->maximumSize());
        QCOMPARE(w.window->mnuConfig()->text(), QStringLiteral("Config LCD"));
        const QStringList faults = layoutFaults(w.window->controls(), frmMainLayout());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        FrmUDChar *dialog = w.dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(w.dialog(), dialog);  // one dialog, brought forward
        QVERIFY(w.click("cmdLCD", 2)); // the main window stays usable
        QCOMPARE(w.peer.readAvailable(30), hex("0D"));
        w.window->close();
        QVERIFY(!dialog->isVisible());
    }

    // Hovering over the port list shows each number's device and whether it is there.
    void portListToolTips() {
        WiredPanel w(UsualSettings + "2=/dev/serial/by-id/usb-nothing-here\r\n");
        auto *list = w.get<QComboBox>("cboComm");
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(list, &hover);
        QCOMPARE(list->itemData(0, Qt::ToolTipRole).toString(),
                 QStringLiteral("Port 1: %1 (present)").arg(w.peer.slavePath()));
        QCOMPARE(list->itemData(1, Qt::ToolTipRole).toString(),
                 QStringLiteral("Port 2: /dev/serial/by-id/usb-nothing-here (not present)"));
        QCOMPARE(list->toolTip(), list->itemData(0, Qt::ToolTipRole).toString());
    }
};

QTEST_MAIN(TstFrmMain)
#include "tst_frmmain.moc"
