// The transmit path: one write per byte, the trace, failures reported once, and the tick wait.
#include "link/portaccess.h"
#include "link/transmitter.h"
#include "support/messageboxrecorder.h"
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
    bool send(const QByteArray &bytes) {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            vars.TxData[std::size_t(i)] = std::uint8_t(bytes[i]);
        return tx.SendTxData(int(bytes.size()));
    }
};

} // namespace

class TstTransmitter : public QObject {
    Q_OBJECT
private slots:
    void oneWritePerByteAndTheTrace() {
        Rig r;
        QVERIFY(r.send("\xFE\x06"));
        QVERIFY(r.send(QByteArray("\x00\x0A\xFF", 3)));
        QCOMPARE(r.port.writes,
                 (QList<QByteArray>{"\xFE", "\x06", QByteArray(1, 0), "\x0A", "\xFF"}));
        QCOMPARE(r.monitor.tx, QStringLiteral("00 0A FF ")); // replaced by the next command
        QCOMPARE(r.monitor.rx, QString());
        QCOMPARE(r.port.opens, 1); // the port stays open between commands
        QVERIFY(r.send({}));       // nothing to send: cleared and opened, nothing written
        QCOMPARE(r.monitor.tx, QString());
        QVERIFY(!r.tx.SendTxData(72) && !r.tx.SendTxData(-1)); // beyond the buffer
        QCOMPARE(r.port.writes.size(), 5);
    }

    void openFailureIsReportedAndRetried() {
        Rig r;
        r.port.failOpenReason = QStringLiteral("no such device");
        QVERIFY(!r.send("\xFE\x06"));
        QCOMPARE(r.boxes.shown.size(), 1);
        QCOMPARE(r.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QCOMPARE(r.boxes.shown[0].text, QStringLiteral("SELECTED PORT NOT AVAILABLE!"));
        QVERIFY(r.boxes.shown[0].detail.contains(QLatin1String("no such device")));
        QVERIFY(r.boxes.shown[0].detail.contains(r.port.deviceName()));
        QVERIFY(r.port.writes.isEmpty());
        QCOMPARE(r.monitor.tx, QString());
        r.port.failOpenReason.clear(); // the next command tries again and gets through
        QVERIFY(r.send("\xFE\x06"));
        QCOMPARE(r.boxes.shown.size(), 1);
    }

    void writeFailureAtByteK_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("trace");
        QTest::newRow("first byte fails: nothing sent or shown") << 0 << "";
        QTest::newRow("last byte fails: all but it are sent and shown") << 3 << "FE 32 01 ";
    }
    void writeFailureAtByteK() {
        QFETCH(int, k);
        QFETCH(QString, trace);
        Rig r;
        r.port.failAtByte = k;
        QVERIFY(!r.send("\xFE\x32\x01\x0F"));
        QCOMPARE(r.port.written(), QByteArray("\xFE\x32\x01\x0F").first(k));
        QCOMPARE(r.monitor.tx, trace);
        QCOMPARE(r.boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
    }

    void directWritesStopAtTheFirstFailure() {
        Rig r;
        r.port.failAtByte = 3; // inside the second write
        QVERIFY(!writeSequence(r.port, r.boxes, {"\x0D", "\xFE\x1E", "BR Set : 9600"}));
        QCOMPARE(r.port.written(), QByteArray("\x0D\xFE\x1E"));
        QCOMPARE(r.boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
        QCOMPARE(r.monitor.tx, QStringLiteral("old trace")); // never traced
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

    // A second wait started meanwhile (a second click during the input wait) ends both.
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
};

QTEST_GUILESS_MAIN(TstTransmitter)
#include "tst_transmitter.moc"
