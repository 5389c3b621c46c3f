// Every control of the command panels, checked by the bytes that reach a real serial line.
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "platform/systemserialport.h"
#include "support/messageboxrecorder.h"
#include "support/ptypeer.h"
#include "support/wiredpanel.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

using Wired = WiredPanel;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void buttonsSendTheirFrames_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("choices"); // list=text pairs chosen first
        QTest::addColumn<QByteArray>("bytes");
        const QStringList none;
        QTest::newRow("Cursor Home sends 0B") << "cmdLCD" << 0 << none << hex("0B");
        QTest::newRow("Next Line sends 0C") << "cmdLCD" << 1 << none << hex("0C");
        QTest::newRow("Clear Screen sends 0D") << "cmdLCD" << 2 << none << hex("0D");
        QTest::newRow("Back space sends 08") << "cmdBackspace" << -1 << none << hex("08");
        QTest::newRow("custom 1 sends a zero byte") << "cmdCustom" << 0 << none << hex("00");
        QTest::newRow("custom 8 sends 07") << "cmdCustom" << 7 << none << hex("07");
        QTest::newRow("Cursor Left sends 0E") << "cmdCL" << -1 << none << hex("0E");
        QTest::newRow("Cursor Right sends 0F") << "cmdCR" << -1 << none << hex("0F");
        QTest::newRow("row 1 column 15 sends FE 32 01 0F")
            << "cmdCurPos" << -1 << QStringList{"cboRow=1", "cboColumn=15"} << hex("FE32010F");
        QTest::newRow("first row and column send FE 32 00 00")
            << "cmdCurPos" << -1 << none << hex("FE320000");
        QTest::newRow("Clear Selected Row uses only the row")
            << "cmdClearCR" << 0 << QStringList{"cboRow=1", "cboColumn=15"} << hex("FE2D01");
        QTest::newRow("Clear Selected Column uses only the column")
            << "cmdClearCR" << 1 << QStringList{"cboRow=1", "cboColumn=15"} << hex("FE2E0F");
        QTest::newRow("Underline sends FE 01") << "cmdCursor" << -1 << none << hex("FE01");
        QTest::newRow("Block Blinking sends FE 02")
            << "cmdCursor" << -1 << QStringList{"cboCursor=Block Blinking"} << hex("FE02");
        QTest::newRow("Hide sends FE 03")
            << "cmdCursor" << -1 << QStringList{"cboCursor=Hide"} << hex("FE03");
        QTest::newRow("ON sends FE 06") << "cmdBL" << 0 << none << hex("FE06");
        QTest::newRow("OFF sends FE 07") << "cmdBL" << 1 << none << hex("FE07");
        QTest::newRow("outputs ON OFF ON send FE 2F 05")
            << "cmdOut" << -1 << QStringList{"cboOut2=OFF"} << hex("FE2F05");
        QTest::newRow("outputs OFF ON OFF send FE 2F 02")
            << "cmdOut" << -1 << QStringList{"cboOut1=OFF", "cboOut3=OFF"} << hex("FE2F02");
        QTest::newRow("all outputs OFF send FE 2F 00")
            << "cmdOut" << -1 << QStringList{"cboOut1=OFF", "cboOut2=OFF", "cboOut3=OFF"}
            << hex("FE2F00");
        QTest::newRow("all outputs ON send FE 2F 07") << "cmdOut" << -1 << none << hex("FE2F07");
        QTest::newRow("Init Graph Utility sends FE 04")
            << "cmdInitGraph" << -1 << none << hex("FE04");
        QTest::newRow("width 1 left to right sends FE 2B 01")
            << "cmdGraph" << 0 << none << hex("FE2B01");
        QTest::newRow("width 80 right to left sends FE 2C 50")
            << "cmdGraph" << 1 << QStringList{"cboGraph=80"} << hex("FE2C50");
        QTest::newRow("Load Custom Characters sends FE 08")
            << "cmdCustomChar" << -1 << none << hex("FE08");
        QTest::newRow("Display Startup Screen sends FE 16")
            << "cmdDSU" << -1 << none << hex("FE16");
    }
    void buttonsSendTheirFrames() {
        QFETCH(QString, button);
        QFETCH(int, index);
        QFETCH(QStringList, choices);
        QFETCH(QByteArray, bytes);
        Wired w;
        for (const QString &c : choices)
            w.choose(qPrintable(c.section(u'=', 0, 0)), c.section(u'=', 1));
        QVERIFY(w.click(qPrintable(button), index));
        QCOMPARE(w.peer.read(static_cast<int>(bytes.size())), bytes);
        QCOMPARE(w.peer.readAvailable(20), QByteArray());
        QCOMPARE(w.trace(), QString::fromLatin1(bytes.toHex(' ').toUpper() + ' '));
        QVERIFY(w.boxes.shown.isEmpty());
    }

    void sliderSendsEachValueTheUserSets_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Home goes to 50: FE 28 32") << int(Qt::Key_Home) << 155 << hex("FE2832");
        QTest::newRow("End goes to 250: FE 28 FA") << int(Qt::Key_End) << 155 << hex("FE28FA");
        QTest::newRow("Right arrow steps by 1") << int(Qt::Key_Right) << 155 << hex("FE289C");
        QTest::newRow("Page Up steps by 5") << int(Qt::Key_PageUp) << 155 << hex("FE28A0");
        QTest::newRow("no move below 50 sends nothing") << int(Qt::Key_Left) << 50 << QByteArray();
    }
    void sliderSendsEachValueTheUserSets() {
        QFETCH(int, key);
        QFETCH(int, from);
        QFETCH(QByteArray, bytes);
        Wired w;
        auto *slider = w.get<QSlider>("Backlightlevel");
        {
            const QSignalBlocker quiet(slider);
            slider->setValue(from);
        }
        QTest::keyClick(slider, static_cast<Qt::Key>(key));
        QCOMPARE(w.peer.readAvailable(30), bytes);
        QVERIFY(slider->value() >= 50 && slider->value() <= 250);
    }

    void typedKeys_data() {
        QTest::addColumn<QString>("keys"); // one entry per key: a character or a key name
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("messages");
        QTest::newRow("A sends 41 and shows A") << "A" << hex("41") << "A" << 0;
        QTest::newRow("B after A shows only B") << "AB" << hex("4142") << "B" << 0;
        QTest::newRow("Back space key sends nothing and empties the field")
            << "A\b" << hex("41") << "" << 0;
        QTest::newRow("Enter sends nothing") << "A\r" << hex("41") << "" << 0;
        QTest::newRow("é goes out as E9") << "é" << hex("E9") << "é" << 0;
        QTest::newRow("code 254 goes out bare, unescaped") << "þ" << hex("FE") << "þ" << 0;
        QTest::newRow("an emoji is refused with a message")
            << QString::fromUtf8("A\xF0\x9F\x98\x80") << hex("41") << "" << 1;
    }
    void typedKeys() {
        QFETCH(QString, keys);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(int, messages);
        Wired w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        text->setFocus();
        for (const uint code : keys.toUcs4()) {
            const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
            const Qt::Key key = code == '\b'   ? Qt::Key_Backspace
                                : code == '\r' ? Qt::Key_Return
                                               : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Press, text, key, ch, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, text, key, ch, Qt::NoModifier);
        }
        QCOMPARE(w.peer.readAvailable(30), bytes);
        QCOMPARE(text->text(), field);
        QCOMPARE(w.boxes.shown.size(), messages);
        if (messages)
            QVERIFY(w.boxes.shown[0].text.contains(QLatin1String("32 to 255")));
    }

    void inputMethodCommitCountsAsTyped() {
        Wired w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        QInputMethodEvent compose(QStringLiteral("´"), {});
        QCoreApplication::sendEvent(text, &compose);
        QCOMPARE(w.peer.readAvailable(20), QByteArray());
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("é"));
        QCoreApplication::sendEvent(text, &commit);
        QCOMPARE(w.peer.readAvailable(30), hex("E9"));
        QCOMPARE(text->text(), QStringLiteral("é"));
    }

    void pasteSendsNothing() {
        Wired w;
        auto *text = w.get<QLineEdit>("txtASCIIInput");
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
        QVERIFY(text->text().size() <= 1);
    }

    void listWithoutAValidChoiceSendsNothing_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("named");
        QTest::newRow("row") << "cboRow"
                             << "cmdCurPos" << -1 << "0 or 1";
        QTest::newRow("column") << "cboColumn"
                                << "cmdClearCR" << 1 << "0 to 15";
        QTest::newRow("cursor") << "cboCursor"
                                << "cmdCursor" << -1 << "Hide";
        QTest::newRow("graph") << "cboGraph"
                               << "cmdGraph" << 0 << "1 to 80";
        QTest::newRow("output 1") << "cboOut1"
                                  << "cmdOut" << -1 << "ON or OFF";
        QTest::newRow("output 3") << "cboOut3"
                                  << "cmdOut" << -1 << "ON or OFF";
    }
    void listWithoutAValidChoiceSendsNothing() {
        QFETCH(QString, list);
        QFETCH(QString, button);
        QFETCH(int, index);
        QFETCH(QString, named);
        Wired w;
        w.get<QComboBox>(qPrintable(list))->setEditText(QStringLiteral("99x"));
        QVERIFY(w.click(qPrintable(button), index));
        QCOMPARE(w.peer.readAvailable(30), QByteArray());
        QCOMPARE(w.boxes.shown.size(), 1);
        QCOMPARE(w.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QVERIFY2(w.boxes.shown[0].text.contains(named), qPrintable(w.boxes.shown[0].text));
        QVERIFY(w.boxes.shown[0].text.contains(QLatin1String("99x")));
    }

    void readInput_data() {
        QTest::addColumn<QByteArray>("reply"); // written by the peer once it sees FE 0A
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<bool>("noResponse");
        const QStringList untouched{"", "", ""};
        QTest::newRow("05 shows HIGH LOW HIGH")
            << hex("05") << 0 << QStringList{"HIGH", "LOW", "HIGH"} << false;
        QTest::newRow("07 shows all HIGH")
            << hex("07") << 0 << QStringList{"HIGH", "HIGH", "HIGH"} << false;
        QTest::newRow("02 shows LOW HIGH LOW")
            << hex("02") << 0 << QStringList{"LOW", "HIGH", "LOW"} << false;
        QTest::newRow("F8 shows all LOW, the high bits are ignored")
            << hex("F8") << 0 << QStringList{"LOW", "LOW", "LOW"} << false;
        QTest::newRow("extra bytes: only the first counts")
            << hex("0106FF") << 0 << QStringList{"HIGH", "LOW", "LOW"} << false;
        QTest::newRow("no answer keeps the labels") << QByteArray() << 0 << untouched << true;
        QTest::newRow("an answer after the wait is too late")
            << hex("07") << 400 << untouched << true;
    }
    void readInput() {
        QFETCH(QByteArray, reply);
        QFETCH(int, delayMs);
        QFETCH(QStringList, labels);
        QFETCH(bool, noResponse);
        Wired w;
        QTimer answer;
        answer.setInterval(2);
        bool answered = false;
        connect(&answer, &QTimer::timeout, [&] {
            if (answered || w.peer.readAvailable(0) != hex("FE0A"))
                return;
            answered = true;
            if (!reply.isEmpty())
                QTimer::singleShot(delayMs, [&] { w.peer.write(reply); });
        });
        answer.start();
        QVERIFY(w.click("cmdReadInput"));
        QStringList shown;
        for (int i = 0; i < 3; ++i)
            shown << w.get<QLabel>("lblInput", i)->text();
        QCOMPARE(shown, labels);
        QCOMPARE(w.boxes.texts(), noResponse ? QStringList{"No Response From LCD"} : QStringList{});
        QCOMPARE(w.get<QLabel>("lblRxData")->text(), QString());
        QCOMPARE(w.trace(), QStringLiteral("FE 0A "));
        if (delayMs > 0) {
            // The late answer is decoded by the next read.
            QTest::qWait(delayMs);
            answer.stop();
            QVERIFY(w.click("cmdReadInput"));
            QCOMPARE(w.get<QLabel>("lblInput", 0)->text(), QStringLiteral("HIGH"));
        }
    }

    void secondReadDuringTheWaitTakesTheAnswer() {
        Wired w;
        w.peer.write(hex("05"));
        QTimer::singleShot(30, [&] { w.click("cmdReadInput"); });
        QVERIFY(w.click("cmdReadInput"));
        // The inner read decoded the reply; the outer one found nothing left.
        QCOMPARE(w.get<QLabel>("lblInput", 0)->text(), QStringLiteral("HIGH"));
        QCOMPARE(w.boxes.texts(), QStringList{"No Response From LCD"});
    }

    void readInputAfterAFailedSendDoesNotWait() {
        Wired w;
        w.port->setCommPort(7); // nothing behind /dev/ttyS6 here
        w.port->close();
        QVERIFY(w.click("cmdReadInput"));
        QCOMPARE(w.boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
    }

    void save_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Yes sends FE 14 0D then Settings Saved")
            << true << hex("FE140D") + "Settings Saved";
        QTest::newRow("No sends nothing") << false << QByteArray();
    }
    void save() {
        QFETCH(bool, yes);
        QFETCH(QByteArray, bytes);
        Wired w;
        w.boxes.answers.enqueue(yes);
        QVERIFY(w.click("cmdSave"));
        QCOMPARE(w.boxes.shown.size(), 1);
        QCOMPARE(w.boxes.shown[0].caption, QStringLiteral("Save Setting"));
        QCOMPARE(w.boxes.shown[0].text, QStringLiteral("Save Settings in non-volatile memory"));
        QVERIFY(w.boxes.shown[0].question);
        QCOMPARE(w.peer.readAvailable(30), bytes);
        QCOMPARE(w.trace(), yes ? QStringLiteral("FE 14 0D ") : QString());
    }

    void saveAfterAFailedSendWritesNoText() {
        Wired w;
        w.port->setCommPort(7);
        QVERIFY(w.click("cmdSave"));
        QCOMPARE(w.boxes.texts(), (QStringList{"Save Settings in non-volatile memory",
                                               "SELECTED PORT NOT AVAILABLE!"}));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
