// Failures told as they are: a device in use under another of its names is busy, and a port
// the panel closed itself during the input wait is not a device gone away.
#include "support/wiredpanel.h"

#include <QFile>
#include <QTest>
#include <QTimer>

using namespace torvika;
using namespace torvika::test;

class TestTrueReasons : public QObject {
    Q_OBJECT
private slots:
    // Port 1 is the device, port 2 a link to it: the lock is on the device, whatever its name.
    void oneDeviceUnderTwoNamesIsBusy() {
        PtyPeer peer;
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("usb-adapter-port0"));
        QVERIFY(QFile::link(peer.slavePath(), link));
        PortMap map;
        map.set(1, peer.slavePath());
        map.set(2, link);
        SystemSerialPort first(map), second(map);
        first.setCommPort(1);
        second.setCommPort(2);
        QVERIFY(first.open().ok);
        const QString reason = second.open().reason;
        QVERIFY2(reason.startsWith("busy: " + link + " leads to " + peer.slavePath() + ", held by"),
                 qPrintable(reason));
    }

    void portClosedDuringTheInputWait_data() {
        QTest::addColumn<bool>("speedOption");
        QTest::addColumn<QString>("reason");
        QTest::newRow("by the line-speed option")
            << true << "the port was closed by the line-speed change to 19200 bps while";
        QTest::newRow("by the port list") << false << "the port was closed by the choice of port 3";
    }
    void portClosedDuringTheInputWait() {
        QFETCH(bool, speedOption);
        QFETCH(QString, reason);
        WiredPanel panel;
        FrmMain &window = *panel.window;
        QTimer::singleShot(20, &window, [&] {
            if (speedOption)
                window.opt19200_Click();
            else
                window.cboComm_Click(2);
        });
        window.cmdReadInput_Click();
        QCOMPARE(panel.boxes.shown.size(), 1);
        QVERIFY2(panel.boxes.shown[0].detail.contains(reason),
                 qPrintable(panel.boxes.shown[0].detail));
    }
};

QTEST_MAIN(TestTrueReasons)
#include "tst_truereasons.moc"
