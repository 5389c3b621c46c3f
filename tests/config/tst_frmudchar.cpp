// The configuration dialog through its controls, its bytes read at the far end of a real line.
#include "platform/pixelcell.h"
#include "support/layoutcheck.h"
#include "support/recordingserialport.h"
#include "support/wiredpanel.h"

using namespace torvika;
using namespace torvika::test;
using namespace Qt::StringLiterals;

namespace {

const QColor Unlit(128, 255, 128), Lit(0, 0, 0);
const char *const CellRows[] = {"UDC1",  "UDC1A", "UDC1B", "UDC1C",
                                "UDC1D", "UDC1E", "UDC1F", "UDC1G"};

// Steps of a script, separated by "; ": "cell UDC1B 4" clicks a pixel cell, "click cmdSetUD 7" a
// button (index optional), "type txtLine1 abc" types, "set TxtLine2 ..." pastes into a field.
void run(const FrmUDChar &dialog, const QString &script) {
    for (const QString &step : script.split(QStringLiteral("; "))) {
        const QString verb = step.section(u' ', 0, 0), rest = step.section(u' ', 2);
        const QByteArray name = step.section(u' ', 1, 1).toLatin1();
        if (verb == u"type" || verb == u"set") {
            auto *field = dialog.controls().get<QLineEdit>(name.constData());
            QVERIFY2(field, qPrintable(step));
            verb == u"type" ? QTest::keyClicks(field, rest) : field->setText(rest);
        } else {
            QWidget *target =
                dialog.controls().find(name.constData(), rest.isEmpty() ? -1 : rest.toInt());
            QVERIFY2(target, qPrintable(step));
            QTest::mouseClick(target, Qt::LeftButton);
        }
    }
}
QStringList labels(const FrmUDChar &dialog) {
    QStringList all;
    for (int row = 1; row <= 8; ++row)
        all << dialog.controls()
                   .get<QLabel>(qPrintable(QStringLiteral("lblRow%1").arg(row)))
                   ->text();
    return all;
}
PixelCell *cell(const FrmUDChar &dialog, int row, int weight) {
    return dialog.controls().get<PixelCell>(CellRows[row], weight);
}

} // namespace

class TstFrmUDChar : public QObject {
    Q_OBJECT
private slots:
    void windowAndLayout() {
        WiredPanel w;
        FrmUDChar *dialog = w.dialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Configure TORVIKA"));
        QCOMPARE(dialog->size(), QSize(555, 423));
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->windowIcon().pixmap(32).toImage(),
                 w.window->windowIcon().pixmap(32).toImage());
        const QStringList faults = layoutFaults(dialog->controls(), frmUDCharLayout());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        auto *row0 = dialog->controls().get<QLineEdit>("txtLine1");
        QTest::keyClicks(row0, QStringLiteral("0123456789ABCDEFG"));
        QCOMPARE(row0->text(), QStringLiteral("0123456789ABCDEF")); // 16 characters at most
    }

    // Each cell, by mouse or Space key, flips its own row's bit of its weight, and only that.
    void everyCellTogglesItsOwnRowByItsWeight() {
        WiredPanel w;
        FrmUDChar *dialog = w.dialog();
        for (int row = 0; row < 8; ++row)
            for (const int weight : {16, 8, 4, 2, 1}) {
                QStringList expected(8, QStringLiteral("0x00"));
                expected[row] = QStringLiteral("0x") + QString::number(weight, 16).toUpper();
                QTest::mouseClick(cell(*dialog, row, weight), Qt::LeftButton);
                QCOMPARE(labels(*dialog), expected);
                QCOMPARE(cell(*dialog, row, weight)->background(), Lit);
                QTest::keyClick(cell(*dialog, row, weight), Qt::Key_Space);
                QCOMPARE(cell(*dialog, row, weight)->background(), Unlit);
                QCOMPARE(labels(*dialog)[row], QStringLiteral("0x0"));
                dialog->cmdClrAll_Click();
            }
        run(*dialog, "click cmdSetAll; cell UDC1B 4");
        QCOMPARE(labels(*dialog)[2], QStringLiteral("0x1B"));
        QCOMPARE(cell(*dialog, 7, 1)->background(), Lit);
        run(*dialog, "click cmdClrAll");
        QCOMPARE(cell(*dialog, 2, 16)->background(), Unlit);
        QVERIFY(w.peer.readAvailable(20).isEmpty()); // drawing sends nothing
    }

    void buttonsPutTheirBytesOnTheLine_data() {
        columns<QString, QByteArray>({"steps", "bytes"});
        const QByteArray head = hex("FE64");
        QTest::newRow("the drawing is not sent until stored")
            << "click cmdSetAll; click cmdLoadUD" << head + QByteArray(64, '\0');
        QTest::newRow("slot 7 top-left pixel")
            << "cell UDC1 16; click cmdSetUD 7; click cmdLoadUD"
            << head + QByteArray(56, '\0') + hex("10") + QByteArray(7, '\0');
        QTest::newRow("slot 0 bottom-right pixel; drawing after storing is not stored")
            << "cell UDC1G 1; click cmdSetUD 0; cell UDC1 16; click cmdLoadUD"
            << head + QByteArray(7, '\0') + hex("01") + QByteArray(56, '\0');
        QTest::newRow("abc and xyz, trailing space kept")
            << "type txtLine1 abc ; type TxtLine2 xyz; click cmdSetSU"
            << hex("FEC8 61626320 0D 78797A FF");
        QTest::newRow("Erase Startup Screen")
            << "click cmdClrSU" << hex("FE150D") + "Startup Screen Erased";
        QTest::newRow("module to 9600") << "click cmd9600" << hex("0DFE1E") + "BR Set : 9600";
        QTest::newRow("module to 19200") << "click cmd19200" << hex("0DFE1F") + "BR Set : 19200";
    }
    void buttonsPutTheirBytesOnTheLine() {
        QFETCH(QString, steps);
        WiredPanel w;
        run(*w.dialog(), steps);
        QTEST(w.peer.readAvailable(30), "bytes");
        QVERIFY2(w.boxes.shown.isEmpty(), qPrintable(w.boxes.texts().join(u'|')));
        QCOMPARE(w.trace(), QString()); // straight to the port, not through the monitor
    }

    void startupScreenRefusals_data() {
        columns<QString, QString>({"steps", "message"});
        QTest::newRow("row 0 empty") << u"type TxtLine2 xyz"_s << u"Text is Empty"_s;
        QTest::newRow("y diaeresis ends the frame")
            << u"type txtLine1 ok; set TxtLine2 \u00FF"_s << u"Row 1"_s;
        QTest::newRow("a pasted CR splits the rows") << u"set txtLine1 a\rb"_s << u"Row 0"_s;
    }
    void startupScreenRefusals() {
        QFETCH(QString, steps);
        QFETCH(QString, message);
        WiredPanel w;
        FrmUDChar *dialog = w.dialog();
        run(*dialog, steps + "; click cmdSetSU");
        QCOMPARE(w.boxes.shown.size(), 1);
        QCOMPARE(w.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QVERIFY2(w.boxes.shown[0].text.contains(message), qPrintable(w.boxes.shown[0].text));
        QVERIFY(w.peer.readAvailable(30).isEmpty());
        const QString last = steps.section(QStringLiteral("; "), -1); // the field keeps it
        QCOMPARE(dialog->controls().get<QLineEdit>(qPrintable(last.section(u' ', 1, 1)))->text(),
                 last.section(u' ', 2));
    }

    void reopeningStartsAfreshButKeepsTheSlots() {
        WiredPanel w;
        FrmUDChar *dialog = w.dialog();
        run(*dialog, "cell UDC1 16; cell UDC1D 2; click cmdSetUD 3; type txtLine1 top");
        run(*dialog, "cell UDC1 2");
        QCOMPARE(w.dialog(), dialog); // brought forward, not rebuilt
        QCOMPARE(labels(*dialog)[0], QStringLiteral("0x12"));
        dialog->close();
        QVERIFY(dialog->controls().all().isEmpty());
        QCOMPARE(w.dialog(), dialog); // one object for the run
        QCOMPARE(labels(*dialog), QStringList(8, QStringLiteral("0x00")));
        QCOMPARE(cell(*dialog, 0, 16)->background(), Unlit);
        QVERIFY(dialog->controls().get<QLineEdit>("txtLine1")->text().isEmpty());
        run(*dialog, "click cmdLoadUD");
        QCOMPARE(
            w.peer.readAvailable(30).toHex(' '),
            (hex("FE64") + QByteArray(24, '\0') + hex("10000000 02000000") + QByteArray(32, '\0'))
                .toHex(' '));
    }

    // A port that will not open: one message a click, nothing lost; a failed write ends the click.
    void portFailures() {
        RecordingSerialPort port;
        port.failOpenReason = QStringLiteral("no such device");
        MessageBoxRecorder boxes;
        FrmUDChar dialog(port, boxes);
        dialog.showDialog();
        QCOMPARE(labels(dialog), QStringList(8, QStringLiteral("0x00")));
        run(dialog, "type txtLine1 ab; click cmdSetSU; click cmd9600");
        QCOMPARE(boxes.texts(), QStringList(3, QStringLiteral("SELECTED PORT NOT AVAILABLE!")));
        QVERIFY(boxes.shown[0].detail.contains(u"no such device"));
        QVERIFY(port.writes.isEmpty());
        port.failOpenReason.clear();
        port.failAtByte = 20;
        run(dialog, "click cmdLoadUD");
        QCOMPARE(port.written(), hex("FE64") + QByteArray(18, '\0'));
        port.failAtByte = 25; // counted over every byte written so far
        run(dialog, "click cmdClrSU");
        QCOMPARE(port.written().mid(20), hex("FE150D") + "St");
        QCOMPARE(boxes.shown.size(), 5);
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(TstFrmUDChar)
#include "tst_frmudchar.moc"
