// The line-settings text, the port map and the real serial port on a pty: what opens, and why not.
#include "platform/deviceholder.h"
#include "platform/linesettings.h"
#include "platform/portsettings.h"
#include "platform/systemserialport.h"
#include "support/data.h"
#include "support/ptypeer.h"

#include <QFile>
#include <QTemporaryDir>

using namespace torvika;
using namespace torvika::test;
using P = LineSettings::Parity;
using S = LineSettings::StopBits;
using LS = LineSettings;

Q_DECLARE_METATYPE(LineSettings)

namespace {

void refusedRow(const char *name, const QString &text, const char *reason) {
    QTest::newRow(name) << text << LineSettings{} << QString(reason);
}
void deviceRow(const char *name, const char *device, const char *settings, const char *reason) {
    QTest::newRow(name) << QString(device) << QString(settings) << QString(reason);
}
// A real port on the pty, mapped as port 1.
struct OnPty {
    std::unique_ptr<PtyPeer> peer;
    SystemSerialPort port;
    explicit OnPty(bool keepSlaveOpen = true)
        : peer(std::make_unique<PtyPeer>(keepSlaveOpen)), port(mapTo(peer->slavePath())) {}
    static PortMap mapTo(const QString &device) {
        PortMap map;
        map.set(1, device);
        return map;
    }
};

} // namespace

class TstSerialPort : public QObject {
    Q_OBJECT
private slots:
    // Accepted texts give their settings; a refused one, its reason (a part of it).
    void lineSettingsText_data() {
        columns<QString, LineSettings, QString>({"text", "expected", "reason"});
        QTest::newRow("odd, two stop bits") << "19200,o,8,2" << LS{19200, P::Odd, 8, S::Two} << "";
        QTest::newRow("any case, blanks")
            << " 4800 , E , 7 , 1 " << LS{4800, P::Even, 7, S::One} << "";
        QTest::newRow("mark, any speed") << "250000,M,6,1" << LS{250000, P::Mark, 6, S::One} << "";
        QTest::newRow("space, five bits") << "1200,s,5,1" << LS{1200, P::Space, 5, S::One} << "";
        refusedRow("three fields", "9600,n,8", "speed,parity");
        refusedRow("five fields", "9600,n,8,1,1", "speed,parity");
        refusedRow("speed beyond 32 bits", "99999999999,n,8,1", "speed");
        refusedRow("parity word", "9600,none,8,1", "parity");
        refusedRow("four data bits", "9600,n,4,1", "data bits");
        refusedRow("three stop bits", "9600,n,8,3", "stop bits");
        refusedRow("one and a half stop bits do not exist here", "9600,n,8,1.5", "1.5");
        refusedRow("binary junk", QString::fromLatin1("\x01\xff,\0,8,1", 8), "speed");
    }
    void lineSettingsText() {
        const auto [text, expected, reason] =
            fetch<QString, LineSettings, QString>({"text", "expected", "reason"});
        const LineSettingsParse parsed = parseLineSettings(text);
        const QString problem = lineSettingsProblem(text);
        QVERIFY2(reason.isEmpty()
                     ? parsed.settings && *parsed.settings == expected && problem.isEmpty()
                     : problem.contains(reason),
                 qPrintable(problem));
    }

    // The window tests see the usual mapping; here are the bare name and what the system says.
    void portMapAndToolTips() {
        PortMap map;
        map.set(4, QStringLiteral(" ttyUSB0 "));
        QCOMPARE(map.deviceFor(4) + map.deviceFor(0) + map.deviceFor(1),
                 QStringLiteral("/dev/ttyUSB0/dev/ttyS0")); // unmapped port n: ttyS<n-1>
        QCOMPARE(portToolTip(2, {QStringLiteral("/dev/x"), true, QStringLiteral("FT232R")}),
                 QStringLiteral("Port 2: /dev/x (present, FT232R)"));
        QCOMPARE(portToolTip(5, {}), QStringLiteral("Port 5: no device"));
    }

    void opensAPtyWithTheAskedSettings() {
        OnPty p;
        p.port.setSettings(QStringLiteral("19200,n,8,2"));
        const PortResult opened = p.port.open();
        QVERIFY2(opened.ok, qPrintable(opened.reason));
        QCOMPARE(p.port.qtPort().baudRate(), 19200);
        QCOMPARE(p.port.qtPort().stopBits(), QSerialPort::TwoStop);
        QVERIFY(p.port.write("\x0B\xFE"));
        QCOMPARE(p.peer->read(2), QByteArray("\x0B\xFE"));
        // Replies are counted even before an event loop ran.
        QVERIFY(p.peer->write("\x05\x06"));
        QTRY_COMPARE(p.port.inBufferCount(), 2);
        QCOMPARE(p.port.input(), QByteArray("\x05\x06"));
    }

    void unusableDevicesAreRefusedWithAReason_data() {
        columns<QString, QString, QString>({"device", "settings", "reason"});
        deviceRow("missing device", "/dev/torvika-none", "9600,n,8,1", "no such device");
        deviceRow("a regular file", "FILE", "9600,n,8,1", "not a serial device");
        deviceRow("a folder", "DIR", "9600,n,8,1", "not a serial device");
        deviceRow("/dev/null", "/dev/null", "9600,n,8,1", "");
        deviceRow("settings the parser refuses", "PTY", "9600,q,8,1",
                  "line settings \"9600,q,8,1\": the parity");
        // A pty cannot take parity: Qt refuses the setting, and so does the panel.
        deviceRow("settings the device refuses", "PTY", "9600,e,7,1",
                  "the device refuses the line settings \"9600,e,7,1\"");
        // The user may open the device, so the refusal names the program holding it (this
        // one), not the group, and carries no "Permission error".
        deviceRow("another program holds the device: its name and process", "BUSY", "9600,n,8,1",
                  "busy: held by tst_serialport, process %1$");
        deviceRow("held under another of its names: busy", "LINK", "9600,n,8,1",
                  "busy: %1 leads to %2, held by");
    }
    void unusableDevicesAreRefusedWithAReason() {
        auto [device, settings, reason] =
            fetch<QString, QString, QString>({"device", "settings", "reason"});
        QTemporaryDir dir;
        OnPty p;
        SystemSerialPort other(OnPty::mapTo(p.peer->slavePath()));
        if (device == u"FILE")
            QVERIFY(
                QFile(device = dir.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly));
        else if (device == u"DIR")
            device = dir.path();
        else if (device == u"BUSY" || device == u"LINK")
            QVERIFY(other.open());
        if (device == u"LINK") { // the lock is on the device, whatever its name
            QVERIFY(QFile::link(p.peer->slavePath(), device = dir.filePath("usb-adapter-port0")));
            reason = reason.arg(device, p.peer->slavePath());
        }
        SystemSerialPort port(
            OnPty::mapTo(device == u"PTY" || device == u"BUSY" ? p.peer->slavePath() : device));
        port.setSettings(settings);
        const PortResult result = port.open();
        QVERIFY(!result.ok && !port.isOpen());
        const bool whole = reason.endsWith(u'$');
        if (whole)
            reason = reason.chopped(1).arg(QCoreApplication::applicationPid());
        QVERIFY2(!result.reason.isEmpty() &&
                     (whole ? result.reason == reason : result.reason.contains(reason)),
                 qPrintable(result.reason));
        QVERIFY(!port.write("\x0D").ok); // never a write on a closed port
    }

    // The holder is found by the device itself: holding another pty (this test holds `held`'s)
    // does not make a program the holder of a pty nobody has open.
    void nobodyHoldsAPtyNobodyOpened() {
        PtyPeer held, unheld(false);
        QCOMPARE(deviceHolder(unheld.slavePath()), QString());
    }

    // The device goes away: noticed by the next write, the port closes, with no storm of errors.
    void aVanishedPeerLeavesThePortClosed() {
        OnPty p(false);
        QVERIFY(p.port.open());
        int errors = 0;
        QObject::connect(&p.port.qtPort(), &QSerialPort::errorOccurred,
                         [&errors](auto e) { errors += e != QSerialPort::NoError; });
        p.peer->closeMaster();
        p.port.write("\x0D");
        QTRY_VERIFY(!p.port.isOpen());
        QVERIFY(!p.port.write("\x0D").ok);
        QTest::qWait(50);
        QVERIFY2(errors <= 2, qPrintable(QString::number(errors)));
    }

    // Once the port holds its fill, the line pushes back on a flooding peer.
    void aFloodingPeerCannotSwellTheBuffer() {
        OnPty p;
        QVERIFY(p.port.open());
        const QByteArray chunk(64 * 1024, 'x');
        qint64 sent = 0;
        for (int i = 0; i < 40; ++i) {
            sent += p.peer->writeSome(chunk, 5);
            QTest::qWait(1);
            QVERIFY(p.port.qtPort().bytesAvailable() <= SystemSerialPort::ReadBufferSize);
        }
        QVERIFY2(sent < 1 << 20, qPrintable(QString::number(sent)));
    }
};

QTEST_GUILESS_MAIN(TstSerialPort)
#include "tst_serialport.moc"
