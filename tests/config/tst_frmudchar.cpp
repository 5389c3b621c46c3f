// The configuration dialog through its controls, its bytes read at the far end of a real line.
#include "support/recordingserialport.h"
#include "support/wiredpanel.h"

using namespace torvika;
using namespace torvika::test;
using namespace Qt::StringLiterals;

namespace {

const QColor Unlit(128, 255, 128), Lit(0, 0, 0);

QStringList labels(const FrmUDChar &dialog) {
    QStringList all;
    for (int row = 1; row <= 8; ++row)
        all << dialog.controls().get<QLabel>(qPrintable(u"lblRow%1"_s.arg(row)))->text();
    return all;
}

} // namespace

class TstFrmUDChar : public QObject {
    Q_OBJECT
private slots:
    // A modeless dialog with the window's icon and rows of 16; reopened, it starts afresh.
    void reopeningStartsAfreshButKeepsTheSlots() {
        Studio s;
        QVERIFY(!s.dialog->isModal());
        QCOMPARE(s.dialog->windowIcon().pixmap(32).toImage(),
                 s.panel.window->windowIcon().pixmap(32).toImage());
        auto *row0 = s.dialog->controls().get<QLineEdit>("txtLine1");
        QTest::keyClicks(row0, QStringLiteral("0123456789ABCDEFG"));
        QCOMPARE(row0->text(), QStringLiteral("0123456789ABCDEF"));        // 16 characters at most
        s.run({"cell 0:16", "cell 4:2", "click cmdSetUD(3)", "cell 0:2"}); // row 0 stays typed
        QCOMPARE(s.panel.dialog(), s.dialog); // brought forward, not rebuilt
        QCOMPARE(labels(*s.dialog)[0], QStringLiteral("0x12"));
        s.dialog->close();
        QVERIFY(s.dialog->controls().all().isEmpty());
        QCOMPARE(s.panel.dialog(), s.dialog); // one object for the run
        QCOMPARE(labels(*s.dialog), QStringList(8, QStringLiteral("0x00")));
        QCOMPARE(s.cell(0, 16)->background(), Unlit);
        QVERIFY(s.dialog->controls().get<QLineEdit>("txtLine1")->text().isEmpty());
        s.run({"click cmdLoadUD"}); // slot 3 as stored before the close
        QCOMPARE(
            s.panel.peer.readAvailable(30).toHex(' '),
            (hex("FE64") + QByteArray(24, '\0') + hex("10000000 02000000") + QByteArray(32, '\0'))
                .toHex(' '));
    }

    // Each cell, by mouse or Space key, flips its own row's bit of its weight, and only that.
    void everyCellTogglesItsOwnRowByItsWeight() {
        Studio s;
        for (int row = 0; row < 8; ++row)
            for (const int weight : {16, 8, 4, 2, 1}) {
                QStringList expected(8, QStringLiteral("0x00"));
                expected[row] = QStringLiteral("0x") + QString::number(weight, 16).toUpper();
                QTest::mouseClick(s.cell(row, weight), Qt::LeftButton);
                QCOMPARE(labels(*s.dialog), expected);
                QCOMPARE(s.cell(row, weight)->background(), Lit);
                QTest::keyClick(s.cell(row, weight), Qt::Key_Space);
                QCOMPARE(s.cell(row, weight)->background(), Unlit);
                QCOMPARE(labels(*s.dialog)[row], QStringLiteral("0x0"));
                s.dialog->cmdClrAll_Click();
            }
        s.run({"click cmdSetAll", "cell 2:4"});
        QCOMPARE(labels(*s.dialog)[2], QStringLiteral("0x1B"));
        QCOMPARE(s.cell(7, 1)->background(), Lit);
        s.run({"click cmdClrAll"});
        QCOMPARE(s.cell(2, 16)->background(), Unlit);
        QVERIFY(s.panel.peer.readAvailable(20).isEmpty()); // drawing sends nothing
    }

    // Steps separated by ';'.
    void buttonsPutTheirBytesOnTheLine_data() {
        columns<QString, QByteArray>({"steps", "bytes"});
        const QByteArray head = hex("FE64");
        QTest::newRow("the drawing is not sent until stored")
            << "click cmdSetAll;click cmdLoadUD" << head + QByteArray(64, '\0');
        QTest::newRow("slot 7 top-left pixel")
            << "cell 0:16;click cmdSetUD(7);click cmdLoadUD"
            << head + QByteArray(56, '\0') + hex("10") + QByteArray(7, '\0');
        QTest::newRow("slot 0 bottom-right pixel; drawing after storing is not stored")
            << "cell 7:1;click cmdSetUD(0);cell 0:16;click cmdLoadUD"
            << head + QByteArray(7, '\0') + hex("01") + QByteArray(56, '\0');
        QTest::newRow("abc and xyz, trailing space kept")
            << "type txtLine1 abc ;type TxtLine2 xyz;click cmdSetSU"
            << hex("FEC8 61626320 0D 78797A FF");
    }
    void buttonsPutTheirBytesOnTheLine() {
        QFETCH(QString, steps);
        Studio s;
        s.run(steps.split(u';'));
        QTEST(s.panel.peer.readAvailable(30), "bytes");
        QVERIFY2(s.panel.boxes.shown.isEmpty(), qPrintable(s.panel.boxes.texts().join(u'|')));
        QCOMPARE(s.panel.trace(), QString()); // straight to the port, not through the monitor
    }

    void startupScreenRefusals_data() {
        columns<QString, QString>({"steps", "message"});
        QTest::newRow("row 0 empty") << u"type TxtLine2 xyz"_s << u"Text is Empty"_s;
        QTest::newRow("y diaeresis ends the frame")
            << u"type txtLine1 ok;set TxtLine2 \u00FF"_s << u"Row 1"_s;
        QTest::newRow("a pasted CR splits the rows") << u"set txtLine1 a\rb"_s << u"Row 0"_s;
    }
    void startupScreenRefusals() {
        const auto [steps, message] = fetch<QString, QString>({"steps", "message"});
        Studio s;
        s.run((steps + ";click cmdSetSU").split(u';'));
        const QList<MessageBoxRecorder::Shown> &shown = s.panel.boxes.shown;
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QStringLiteral("TORVIKA"));
        QVERIFY2(shown[0].text.contains(message), qPrintable(shown[0].text));
        QVERIFY(s.panel.peer.readAvailable(30).isEmpty());
        const QString last = steps.section(u';', -1); // the field keeps it
        QCOMPARE(s.dialog->controls().get<QLineEdit>(qPrintable(last.section(u' ', 1, 1)))->text(),
                 last.section(u' ', 2));
    }

    // A port that will not open: one message a click, nothing lost, the dialog stays.
    void portFailures() {
        RecordingSerialPort port;
        port.failOpenReason = QStringLiteral("no such device");
        MessageBoxRecorder boxes;
        FrmUDChar dialog(port, boxes);
        dialog.showDialog();
        QCOMPARE(labels(dialog), QStringList(8, QStringLiteral("0x00")));
        dialog.controls().get<QLineEdit>("txtLine1")->setText(QStringLiteral("ab"));
        for (const char *button : {"cmdSetSU", "cmd9600"})
            dialog.controls().get<QPushButton>(button)->click();
        QCOMPARE(boxes.texts(), QStringList(3, QStringLiteral("SELECTED PORT NOT AVAILABLE!")));
        QVERIFY(boxes.shown[0].detail.contains(u"no such device"));
        QVERIFY(port.writes.isEmpty() && dialog.isVisible());
    }
};

QTEST_MAIN(TstFrmUDChar)
#include "tst_frmudchar.moc"
