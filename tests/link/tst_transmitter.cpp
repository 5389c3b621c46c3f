// The transmit path: bytes on the line, the trace, failures, and the tick wait.
#include "link/portaccess.h"
#include "link/transmitter.h"
#include "platform/systemserialport.h"
#include "support/messageboxrecorder.h"
#include "support/ptypeer.h"
#include "support/recordingserialport.h"

#include <QElapsedTimer>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

// The two labels of the traffic monitor, as text.
struct Monitor final : TrafficMonitor {
    QString tx = QStringLiteral("old trace"), rx = QStringLiteral("old rx");
    void clearTrace() override { tx.clear(), rx.clear(); }
    void appendTransmitted(const QString &text) override { tx += text; }
};

struct Rig {
    ModVariables vars;
    RecordingSerialPort port;
    MessageBoxRecorder boxes;
    Monitor monitor;
    Transmitter tx{vars, port, boxes, monitor};

    void load(std::initializer_list<int> bytes) {
        int i = 0;
        for (const int b : bytes)
            vars.TxData[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(b);
    }
};

} // namespace

class TestTransmitter : public QObject {
    Q_OBJECT
private slots:
    void bytesReachThePtyWithTheirTrace() {
        PtyPeer peer;
        QVERIFY(peer.isValid());
        PortMap map;
        map.set(1, peer.slavePath());
        SystemSerialPort port(map);
        port.setCommPort(1);
        ModVariables vars;
        MessageBoxRecorder boxes;
        Monitor monitor;
        Transmitter tx(vars, port, boxes, monitor);
        vars.TxData[0] = 254, vars.TxData[1] = 40, vars.TxData[2] = 155;

        QVERIFY(tx.SendTxData(3));
        QCOMPARE(peer.read(3), QByteArray("\xFE\x28\x9B"));
        QCOMPARE(monitor.tx, QStringLiteral("FE 28 9B "));
        QCOMPARE(monitor.rx, QString());
        QVERIFY(port.isOpen());
        QVERIFY(boxes.shown.isEmpty());
        // Nothing more than the count went out.
        QCOMPARE(peer.readAvailable(30), QByteArray());
    }

    void oneWritePerByte() {
        Rig r;
        r.load({0, 10, 255, 16});
        QVERIFY(r.tx.SendTxData(4));
        QCOMPARE(r.port.writes, (QList<QByteArray>{QByteArray(1, '\0'), "\x0A", "\xFF", "\x10"}));
        QCOMPARE(r.monitor.tx, QStringLiteral("00 0A FF 10 "));
        QCOMPARE(r.port.opens, 1);
    }

    void traceIsReplacedByTheNextCommand() {
        Rig r;
        r.load({254, 6});
        r.tx.SendTxData(2);
        r.load({13});
        r.tx.SendTxData(1);
        QCOMPARE(r.monitor.tx, QStringLiteral("0D "));
        QCOMPARE(r.port.opens, 1); // the port stays open between commands
    }

    void countZeroClearsAndOpensButSendsNothing() {
        Rig r;
        QVERIFY(r.tx.SendTxData(0));
        QCOMPARE(r.monitor.tx, QString());
        QCOMPARE(r.monitor.rx, QString());
        QVERIFY(r.port.isOpen());
        QVERIFY(r.port.writes.isEmpty());
    }

    void countOutsideTheBufferSendsNothing() {
        Rig r;
        QVERIFY(!r.tx.SendTxData(72));
        QVERIFY(!r.tx.SendTxData(-1));
        QVERIFY(r.port.writes.isEmpty());
        QCOMPARE(r.monitor.tx, QStringLiteral("old trace"));
    }

    void openFailureIsReportedAndRetried() {
        Rig r;
        r.port.failOpenReason = QStringLiteral("no such device");
        r.load({254, 6});
        QVERIFY(!r.tx.SendTxData(2));
        QCOMPARE(r.boxes.shown.size(), 1);
        QCOMPARE(r.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QCOMPARE(r.boxes.shown[0].text, QStringLiteral("SELECTED PORT NOT AVAILABLE!"));
        QVERIFY(r.boxes.shown[0].detail.contains(QLatin1String("no such device")));
        QVERIFY(r.boxes.shown[0].detail.contains(r.port.deviceName()));
        QVERIFY(!r.port.isOpen());
        QVERIFY(r.port.writes.isEmpty());
        QCOMPARE(r.monitor.tx, QString());
        QCOMPARE(r.monitor.rx, QString());

        // The next command tries again and gets through.
        r.port.failOpenReason.clear();
        QVERIFY(r.tx.SendTxData(2));
        QCOMPARE(r.port.written(), QByteArray("\xFE\x06"));
        QCOMPARE(r.boxes.shown.size(), 1);
    }

    void writeFailureAtByteK_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("trace");
        QTest::newRow("first byte fails: nothing sent or shown") << 0 << "";
        QTest::newRow("second byte fails: the first is sent and shown") << 1 << "FE ";
        QTest::newRow("last byte fails: all but it are sent") << 3 << "FE 32 01 ";
    }
    void writeFailureAtByteK() {
        QFETCH(int, k);
        QFETCH(QString, trace);
        Rig r;
        r.port.failAtByte = k;
        r.load({254, 50, 1, 15});
        QVERIFY(!r.tx.SendTxData(4));
        QCOMPARE(r.port.written(), QByteArray("\xFE\x32\x01\x0F").first(k));
        QCOMPARE(r.monitor.tx, trace);
        QCOMPARE(r.boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
    }

    void vanishedDeviceIsReportedThenReopened() {
        auto peer = std::make_unique<PtyPeer>(false);
        PortMap map;
        map.set(1, peer->slavePath());
        SystemSerialPort port(map);
        ModVariables vars;
        MessageBoxRecorder boxes;
        Monitor monitor;
        Transmitter tx(vars, port, boxes, monitor);
        vars.TxData[0] = 13;
        QVERIFY(tx.SendTxData(1));
        QCOMPARE(peer->read(1), QByteArray("\x0D"));

        peer.reset(); // the adapter is unplugged: the device is gone
        for (int i = 0; i < 3 && boxes.shown.isEmpty(); ++i) {
            tx.SendTxData(1);
            QTest::qWait(20);
        }
        QCOMPARE(boxes.texts().value(0), QStringLiteral("SELECTED PORT NOT AVAILABLE!"));
        QTRY_VERIFY(!port.isOpen());
        // Every further command reports again rather than claiming success.
        const qsizetype before = boxes.shown.size();
        QVERIFY(!tx.SendTxData(1));
        QCOMPARE(boxes.shown.size(), before + 1);
    }

    void waitTicksLastsTenTicksAndKeepsEventsFlowing() {
        Rig r;
        bool otherEventRan = false;
        QTimer::singleShot(20, [&] { otherEventRan = true; });
        QElapsedTimer clock;
        clock.start();
        r.tx.WaitTicks(10);
        QVERIFY2(clock.elapsed() >= 100, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(otherEventRan);
        QCOMPARE(r.vars.TickCount, 10);
        QVERIFY(!r.tx.Timer1().isActive());
    }

    void nestedWaitEndsTheOuterOne() {
        Rig r;
        int innerRuns = 0;
        QTimer::singleShot(30, [&] {
            ++innerRuns;
            r.tx.WaitTicks(10);
        });
        r.tx.WaitTicks(10);
        QCOMPARE(innerRuns, 1);
        QVERIFY(r.vars.TickCount >= 10);
        QVERIFY(!r.tx.Timer1().isActive());
    }

    void directWritesStopAtTheFirstFailure() {
        Rig r;
        r.port.failAtByte = 3; // inside the second write
        QVERIFY(!writeSequence(r.port, r.boxes, {"\x0D", "\xFE\x1E", "BR Set : 9600"}));
        QCOMPARE(r.port.written(), QByteArray("\x0D\xFE\x1E"));
        QCOMPARE(r.boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
        // They never reach the traffic monitor.
        QCOMPARE(r.monitor.tx, QStringLiteral("old trace"));
    }
};

QTEST_GUILESS_MAIN(TestTransmitter)
#include "tst_transmitter.moc"
