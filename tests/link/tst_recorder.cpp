// The traffic recorder: port events under the writer's name, and the bound of its ring.
#include "link/trafficrecorder.h"
#include "platform/systemserialport.h"
#include "support/ptypeer.h"
#include "support/recordingserialport.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace torvika;
using namespace torvika::test;
using Kind = TrafficEntry::Kind;

Q_DECLARE_METATYPE(Kind)

class TestRecorder : public QObject {
    Q_OBJECT
private slots:
    void portEvents_data() {
        QTest::addColumn<QString>("failOpen");
        QTest::addColumn<qint64>("failAtByte");
        QTest::addColumn<QList<Kind>>("kinds");
        QTest::addColumn<QString>("lastText");
        QTest::newRow("open, write, close for a reason names device and settings")
            << QString() << qint64(-1) << QList{Kind::Opened, Kind::Sent, Kind::Closed}
            << "line speed changed";
        QTest::newRow("open failure gives its reason")
            << "busy" << qint64(-1) << QList{Kind::OpenFailed} << "port 3 (/dev/recorded3): busy";
        QTest::newRow("write failure keeps the bytes not written")
            << QString() << qint64(0) << QList{Kind::Opened, Kind::WriteFailed, Kind::Closed}
            << "line speed changed";
    }
    void portEvents() {
        QFETCH(QString, failOpen);
        QFETCH(qint64, failAtByte);
        RecordingSerialPort port;
        port.failOpenReason = failOpen;
        port.failAtByte = failAtByte;
        TrafficRecorder recorder;
        RecordedPort dialog(port, recorder, TrafficSource::Dialog);
        port.setCommPort(3);
        if (dialog.open())
            dialog.write("\xFE\x1F");
        dialog.closeBecause(QStringLiteral("line speed changed"));
        dialog.close(); // already closed: nothing to record

        QList<Kind> kinds;
        for (quint64 s = recorder.firstKept(); s != recorder.end(); ++s) {
            kinds << recorder.at(s).kind;
            QCOMPARE(recorder.at(s).source, TrafficSource::Dialog);
            if (kinds.last() != Kind::Opened && kinds.last() != Kind::Closed)
                QCOMPARE(recorder.at(s).bytes, kinds.last() == Kind::OpenFailed ? "" : "\xFE\x1F");
        }
        QTEST(kinds, "kinds");
        QTEST(recorder.at(recorder.end() - 1).text, "lastText");
        if (kinds.first() == Kind::Opened)
            QCOMPARE(recorder.at(0).text, QStringLiteral("port 3 (/dev/recorded3), 9600,n,8,1"));
    }

    void ringKeepsTheLatestEntries() {
        TrafficRecorder recorder;
        for (int i = 0; i < TrafficRecorder::Capacity + 5; ++i)
            recorder.record(Kind::Sent, TrafficSource::MainWindow, QByteArray::number(i));
        QCOMPARE(recorder.end(), quint64(TrafficRecorder::Capacity + 5));
        QCOMPARE(recorder.firstKept(), quint64(5));
        QCOMPARE(recorder.at(5).bytes, "5");
        QVERIFY(recorder.at(5).timeNs <= recorder.at(recorder.end() - 1).timeNs);
    }

    void arrivalsSeenReadsTakenHangUpToldPlainly() {
        PtyPeer peer;
        PortMap map;
        map.set(1, peer.slavePath());
        SystemSerialPort port(map);
        TrafficRecorder recorder;
        QSignalSpy recorded(&recorder, &TrafficRecorder::recorded);
        RecordedPort main(port, recorder, TrafficSource::MainWindow);
        port.setObserver(&recorder);
        QVERIFY(port.open());
        peer.write("\x05\x07");
        QTRY_COMPARE(recorder.end(), quint64(1));
        QCOMPARE(recorder.at(0).bytes, "\x05\x07");
        QCOMPARE(main.input(), "\x05\x07"); // observed, not taken, until the read
        main.noAnswer(100);
        peer.closeMaster();
        QTRY_COMPARE(recorder.at(recorder.end() - 1).kind, Kind::Lost);
        QCOMPARE(recorded.count(), 4); // the bytes were told once
        QCOMPARE(recorder.at(1).kind, Kind::Taken);
        QCOMPARE(recorder.at(1).bytes, "\x05\x07");
        QCOMPARE(recorder.at(2).text, "no answer within 100 ms");
        // Only a reason that explains the hang-up, never a leftover error text.
        const QString reason = recorder.at(3).text;
        QVERIFY2(reason.isEmpty() || reason == QString::fromLocal8Bit(strerror(EIO)),
                 qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
