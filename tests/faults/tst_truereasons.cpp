// Failures told as they are: a port the panel closed itself during the input
// wait is not a device gone away, and a write failing at any byte of any frame
// stops there with the port's own reason.
#include "config/chareditor.h"
#include "support/recordingserialport.h"
#include "support/wiredpanel.h"
#include "trafficlog/displaymirror.h"
#include "trafficlog/trafficlogmodel.h"

#include <QSignalSpy>
#include <QTimer>

using namespace torvika;
using namespace torvika::test;

namespace {

// A control of the main window (or, with a "dialog:" name, of the configuration
// dialog), the list choices or texts set first, and every byte its click
// writes.
void controlRow(const char *name, const char *control, int index, const QStringList &set,
                const QByteArray &bytes) {
    QTest::newRow(name) << QString(control) << index << set << bytes;
}

void setUp(const layout::Controls &controls, const QStringList &set) {
    for (const QString &item : set) {
        const QByteArray name = item.section(u'=', 0, 0).toLatin1();
        const QString value = item.section(u'=', 1);
        if (auto *list = controls.get<QComboBox>(name.constData()))
            list->setCurrentIndex(list->findText(value));
        else
            controls.get<QLineEdit>(name.constData())->setText(value);
    }
}

struct Trace final : TrafficMonitor {
    void clearTrace() override { text.clear(); }
    void appendTransmitted(const QString &more) override { text += more; }
    QString text;
};

} // namespace

class TestTrueReasons : public QObject {
    Q_OBJECT
private slots:
    void portClosedDuringTheInputWait_data() {
        columns<bool, QString>({"speedOption", "reason"});
        QTest::newRow("by the line-speed option")
            << true << "the port was closed by the line-speed change to 19200 bps while";
        QTest::newRow("by the port list") << false << "the port was closed by the choice of port 3";
    }
    void portClosedDuringTheInputWait() {
        const auto [speedOption, reason] = fetch<bool, QString>({"speedOption", "reason"});
        WiredPanel panel;
        FrmMain &window = *panel.window;
        QTimer::singleShot(
            20, &window, [&] { speedOption ? window.opt19200_Click() : window.cboComm_Click(2); });
        window.cmdReadInput_Click();
        QCOMPARE(panel.boxes.shown.size(), 1);
        QVERIFY2(panel.boxes.shown[0].detail.contains(reason),
                 qPrintable(panel.boxes.shown[0].detail));
    }

    // The whole buffer goes out, one byte a write; a count past it sends nothing;
    // a wait of n ticks lasts exactly n ticks of its timer.
    void transmitBufferAndTicks() {
        ModVariables vars;
        RecordingSerialPort port;
        MessageBoxRecorder boxes;
        Trace trace;
        Transmitter transmitter(vars, port, boxes, trace);
        vars.TxData.fill(0xA5);
        for (const int count : {ModVariables::TxDataSize + 1, -1})
            QVERIFY(!transmitter.SendTxData(count));
        QVERIFY(port.writes.isEmpty() && boxes.shown.isEmpty() && port.opens == 0);
        QVERIFY(transmitter.SendTxData(ModVariables::TxDataSize));
        QCOMPARE(port.writes, QList<QByteArray>(71, hex("A5")));
        QCOMPARE(trace.text, QString("A5 ").repeated(71));
        QSignalSpy ticks(&transmitter.Timer1(), &QTimer::timeout);
        transmitter.WaitTicks(Transmitter::ReplyWaitTicks);
        QCOMPARE(ticks.count(), 10);
        QVERIFY(!transmitter.Timer1().isActive());
    }

    // A paused log that falls behind the record says how many entries it lost.
    void droppedEntriesAreCounted() {
        TrafficRecorder recorder;
        trafficlog::DisplayMirror mirror(recorder);
        trafficlog::TrafficLogModel log(recorder, mirror);
        log.setPaused(true);
        for (int i = 0; i < TrafficRecorder::Capacity + 7; ++i) // typed text: rows merge
            recorder.record(TrafficEntry::Kind::Sent, TrafficSource::MainWindow, "A");
        log.setPaused(false);
        QCOMPARE(
            log.cellText(0, trafficlog::TrafficLogModel::Meaning),
            QStringLiteral("7 older entries were dropped; the log keeps the latest 10000 rows"));
    }

    // Told 19200 on a 9600 line: what follows is trapped up to the entry that sets 19200.
    void trapEndsWhereTheSpeedsAgree() {
        TrafficRecorder recorder;
        trafficlog::DisplayMirror mirror(recorder);
        using K = TrafficEntry::Kind;
        const TrafficSource from = TrafficSource::MainWindow;
        recorder.record(K::LineSettings, from, {}, QStringLiteral("9600,n,8,1"));
        recorder.record(K::Sent, from, hex("FE1F"));
        recorder.record(K::Sent, from, "A");
        recorder.record(K::LineSettings, from, {}, QStringLiteral("19200,n,8,1"));
        recorder.record(K::Sent, from, "B");
        mirror.catchUp();
        QCOMPARE(
            (QList<bool>{mirror.trapAt(1), mirror.trapAt(2), mirror.trapAt(3), mirror.trapAt(4)}),
            (QList<bool>{false, true, false, false}));
    }

    // Undo takes back as many steps as it promises, no more; a startup text the
    // dialog cannot send leaves the port alone.
    void undoDepthAndUnsentText() {
        CharEditor editor;
        for (std::size_t i = 0; i <= CharEditor::MaxSteps; ++i)
            editor.toggle(0, 1);
        std::size_t undone = 0;
        while (editor.undo())
            ++undone;
        QCOMPARE(undone, CharEditor::MaxSteps);
        RecordingSerialPort port;
        MessageBoxRecorder boxes;
        FrmUDChar dialog(port, boxes);
        dialog.showDialog();
        setUp(dialog.controls(), {"txtLine1=ok", "TxtLine2=x\u00ff"});
        dialog.controls().get<QPushButton>("cmdSetSU")->click();
        QVERIFY(port.writes.isEmpty() && boxes.shown.size() == 1);
    }

    void eachControlsFrameUpToAFailedByte_data() {
        columns<QString, int, QStringList, QByteArray>({"control", "index", "set", "bytes"});
        controlRow("Cursor Home sends 0B", "cmdLCD", 0, {}, hex("0B"));
        controlRow("Next Line sends 0C", "cmdLCD", 1, {}, hex("0C"));
        controlRow("Clear Screen sends 0D", "cmdLCD", 2, {}, hex("0D"));
        controlRow("Back space sends 08", "cmdBackspace", -1, {}, hex("08"));
        controlRow("custom 1 sends 00", "cmdCustom", 0, {}, hex("00"));
        controlRow("custom 8 sends 07", "cmdCustom", 7, {}, hex("07"));
        controlRow("Cursor Left sends 0E", "cmdCL", -1, {}, hex("0E"));
        controlRow("Cursor Right sends 0F", "cmdCR", -1, {}, hex("0F"));
        const QStringList place{"cboRow=1", "cboColumn=15"};
        controlRow("row 1 column 15 sends FE 32 01 0F", "cmdCurPos", -1, place, hex("FE32010F"));
        controlRow("Clear Selected Row uses only the row", "cmdClearCR", 0, place, hex("FE2D01"));
        controlRow("Clear Selected Column uses only the column", "cmdClearCR", 1, place,
                   hex("FE2E0F"));
        controlRow("Block Blinking sends FE 02", "cmdCursor", -1, {"cboCursor=Block Blinking"},
                   hex("FE02"));
        controlRow("ON sends FE 06", "cmdBL", 0, {}, hex("FE06"));
        controlRow("OFF sends FE 07", "cmdBL", 1, {}, hex("FE07"));
        controlRow("outputs OFF ON OFF send FE 2F 02", "cmdOut", -1, {"cboOut1=OFF", "cboOut3=OFF"},
                   hex("FE2F02"));
        controlRow("Init Graph Utility sends FE 04", "cmdInitGraph", -1, {}, hex("FE04"));
        controlRow("width 1 left to right sends FE 2B 01", "cmdGraph", 0, {}, hex("FE2B01"));
        controlRow("Load Custom Characters sends FE 08", "cmdCustomChar", -1, {}, hex("FE08"));
        controlRow("Display Startup Screen sends FE 16", "cmdDSU", -1, {}, hex("FE16"));
        controlRow("bar graph 80 right to left", "cmdGraph", 1, {"cboGraph=80"}, hex("FE2C50"));
        controlRow("Read Input: no wait, no second message", "cmdReadInput", -1, {}, hex("FE0A"));
        controlRow("Save and its confirmation", "cmdSave", -1, {},
                   hex("FE140D") + "Settings Saved");
        controlRow("dialog: user characters", "dialog:cmdLoadUD", -1, {},
                   hex("FE64") + QByteArray(64, '\0'));
        controlRow("dialog: startup screen of full rows", "dialog:cmdSetSU", -1,
                   {"txtLine1=ABCDEFGHIJKLMNOP", "TxtLine2=abcdefghijklmnop"},
                   hex("FEC8") + "ABCDEFGHIJKLMNOP" + hex("0D") + "abcdefghijklmnop" + hex("FF"));
        controlRow("dialog: erase the startup screen", "dialog:cmdClrSU", -1, {},
                   hex("FE150D") + "Startup Screen Erased");
        controlRow("dialog: module speed 9600", "dialog:cmd9600", -1, {},
                   hex("0D FE1E") + "BR Set : 9600");
        controlRow("dialog: module speed 19200", "dialog:cmd19200", -1, {},
                   hex("0D FE1F") + "BR Set : 19200");
    }
    // Each control's frame, whole when nothing fails; whichever byte fails, the bytes
    // before it went out and were traced, nothing after it is written, and one message
    // names the port and the failure.
    void eachControlsFrameUpToAFailedByte() {
        const auto [control, index, set, bytes] =
            fetch<QString, int, QStringList, QByteArray>({"control", "index", "set", "bytes"});
        QTemporaryDir dir;
        ModVariables vars;
        ModIni ini(dir.path());
        RecordingSerialPort port;
        MessageBoxRecorder boxes;
        FrmMain window(vars, ini, port, boxes);
        const bool inDialog = control.startsWith(u"dialog:");
        if (inDialog)
            window.mnuConfig_Click();
        const layout::Controls &controls =
            inDialog ? window.configDialog()->controls() : window.controls();
        setUp(controls, set);
        auto *button = controls.get<QPushButton>(qPrintable(control.section(u':', -1)), index);
        QVERIFY(button);
        // The transmit path traces the frame; Save's confirmation goes out
        // untraced.
        const qsizetype traced = control == u"cmdSave" ? 3 : bytes.size();
        for (qsizetype k = 0; k <= bytes.size(); ++k) { // k == size: nothing fails
            port.writes.clear();
            port.failAtByte = k;
            boxes.shown.clear();
            button->click();
            QCOMPARE(port.written().toHex(' '), bytes.first(k).toHex(' '));
            QStringList told;
            for (const MessageBoxRecorder::Shown &box : boxes.shown)
                if (!box.question)
                    told << box.text + box.detail;
            const QString failed =
                "SELECTED PORT NOT AVAILABLE!Port 1 (/dev/recorded1): write failed";
            QCOMPARE(told, k < bytes.size()             ? QStringList{failed}
                           : control == u"cmdReadInput" ? QStringList{"No Response From LCD"}
                                                        : QStringList{});
            const TrafficRecorder &record = window.trafficRecorder();
            if (k < bytes.size())
                QCOMPARE(record.at(record.end() - 1).text, QStringLiteral("write failed"));
            QCOMPARE(window.controls().get<QLabel>("lblTxData")->text(), // the dialog's: untraced
                     inDialog ? QString()
                              : QString::fromLatin1(
                                    bytes.first(std::min(k, traced)).toHex(' ').toUpper() +
                                    (k > 0 ? " " : "")));
        }
    }
};

QTEST_MAIN(TestTrueReasons)
#include "tst_truereasons.moc"
