// The line-settings text and the real serial port: what opens, what is refused and why.
#include "platform/linesettings.h"
#include "platform/systemserialport.h"
#include "support/ptypeer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <termios.h>

using namespace torvika;
using namespace torvika::test;
using P = LineSettings::Parity;
using S = LineSettings::StopBits;

Q_DECLARE_METATYPE(LineSettings)

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    void acceptedSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<LineSettings>("expected");
        QTest::newRow("the panel's default")
            << "9600,n,8,1" << LineSettings{9600, P::None, 8, S::One};
        QTest::newRow("19200 with two stop bits")
            << "19200,n,8,2" << LineSettings{19200, P::None, 8, S::Two};
        QTest::newRow("even parity seven bits")
            << "4800,e,7,1" << LineSettings{4800, P::Even, 7, S::One};
        QTest::newRow("parity letters in either case")
            << "9600,O,5,1" << LineSettings{9600, P::Odd, 5, S::One};
        QTest::newRow("mark parity") << "1200,m,8,1" << LineSettings{1200, P::Mark, 8, S::One};
        QTest::newRow("space parity") << "1200,s,6,1" << LineSettings{1200, P::Space, 6, S::One};
        QTest::newRow("any positive speed")
            << "250000,n,8,1" << LineSettings{250000, P::None, 8, S::One};
        QTest::newRow("blanks around fields")
            << " 9600 , n , 8 , 1 " << LineSettings{9600, P::None, 8, S::One};
    }
    void acceptedSettings() {
        QFETCH(QString, text);
        QFETCH(LineSettings, expected);
        const LineSettingsParse parsed = parseLineSettings(text);
        QVERIFY2(parsed.settings, qPrintable(parsed.problem));
        QVERIFY(*parsed.settings == expected);
        QVERIFY(lineSettingsProblem(text).isEmpty());
    }

    void refusedSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // a word the reason must contain
        QTest::newRow("empty") << ""
                               << "speed,parity";
        QTest::newRow("three fields") << "9600,n,8"
                                      << "speed,parity";
        QTest::newRow("five fields") << "9600,n,8,1,x"
                                     << "speed,parity";
        QTest::newRow("zero speed") << "0,n,8,1"
                                    << "speed";
        QTest::newRow("negative speed") << "-9600,n,8,1"
                                        << "speed";
        QTest::newRow("speed beyond 32 bits") << "99999999999,n,8,1"
                                              << "speed";
        QTest::newRow("speed with letters") << "96k,n,8,1"
                                            << "speed";
        QTest::newRow("unknown parity") << "9600,x,8,1"
                                        << "parity";
        QTest::newRow("parity outside ASCII") << QString::fromUtf8("9600,\u00f1,8,1") << "parity";
        QTest::newRow("parity word") << "9600,none,8,1"
                                     << "parity";
        QTest::newRow("four data bits") << "9600,n,4,1"
                                        << "data bits";
        QTest::newRow("nine data bits") << "9600,n,9,1"
                                        << "data bits";
        QTest::newRow("three stop bits") << "9600,n,8,3"
                                         << "stop bits";
#ifndef Q_OS_WIN
        QTest::newRow("one and a half stop bits do not exist here") << "9600,n,8,1.5"
                                                                    << "1.5";
#endif
        QTest::newRow("binary junk") << QString::fromLatin1("\x01\xff,\0,8,1", 8) << "speed";
    }
    void refusedSettings() {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const LineSettingsParse parsed = parseLineSettings(text);
        QVERIFY(!parsed.settings);
        QVERIFY2(parsed.problem.contains(reason), qPrintable(parsed.problem));
    }

    void portNumbersMapToDevices() {
        PortMap map;
        QCOMPARE(map.deviceFor(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(map.deviceFor(20), QStringLiteral("/dev/ttyS19"));
        map.set(2, QStringLiteral("  /dev/serial/by-id/usb-x  "));
        QCOMPARE(map.deviceFor(2), QStringLiteral("/dev/serial/by-id/usb-x"));
        map.set(2, QStringLiteral(" "));
        QCOMPARE(map.deviceFor(2), QStringLiteral("/dev/ttyS1"));
        map.set(4, QStringLiteral("ttyUSB0"));
        QCOMPARE(map.deviceFor(4), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(map.deviceFor(0), QString());
    }

    void opensAPtyWithTheAskedSettings() {
        PtyPeer peer;
        PortMap map;
        map.set(3, peer.slavePath());
        SystemSerialPort port(map);
        port.setCommPort(3);
        port.setSettings(QStringLiteral("19200,n,8,2"));
        const PortResult opened = port.open();
        QVERIFY2(opened.ok, qPrintable(opened.reason));
        QCOMPARE(port.qtPort().baudRate(), 19200);
        // (A pty refuses parity and other data bits; a real port takes them.)
        QCOMPARE(port.qtPort().parity(), QSerialPort::NoParity);
        QCOMPARE(port.qtPort().dataBits(), QSerialPort::Data8);
        QCOMPARE(port.qtPort().stopBits(), QSerialPort::TwoStop);
        QVERIFY(port.write("\x0B\xFE"));
        QCOMPARE(peer.read(2), QByteArray("\x0B\xFE"));
        // Replies are counted even before an event loop ran.
        QVERIFY(peer.write("\x05\x06"));
        QTRY_COMPARE(port.inBufferCount(), 2);
        QCOMPARE(port.input(), QByteArray("\x05\x06"));
        QCOMPARE(port.inBufferCount(), 0);
    }

    void unusableDevicesAreRefusedWithAReason_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing device") << "/dev/torvika-no-such-device"
                                        << "9600,n,8,1"
                                        << "no such device";
        QTest::newRow("a regular file") << "FILE"
                                        << "9600,n,8,1"
                                        << "not a serial device";
        QTest::newRow("a folder") << "DIR"
                                  << "9600,n,8,1"
                                  << "not a serial device";
        QTest::newRow("/dev/null") << "/dev/null"
                                   << "9600,n,8,1"
                                   << "";
        QTest::newRow("settings the parser refuses") << "PTY"
                                                     << "9600,q,8,1"
                                                     << "parity";
    }
    void unusableDevicesAreRefusedWithAReason() {
        QFETCH(QString, device);
        QFETCH(QString, settings);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        PtyPeer peer;
        if (device == QLatin1String("FILE")) {
            device = dir.filePath(QStringLiteral("plain"));
            QFile f(device);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (device == QLatin1String("DIR")) {
            device = dir.path();
        } else if (device == QLatin1String("PTY")) {
            device = peer.slavePath();
        }
        PortMap map;
        map.set(1, device);
        SystemSerialPort port(map);
        port.setSettings(settings);
        const PortResult result = port.open();
        QVERIFY(!result.ok);
        QVERIFY(!port.isOpen());
        QVERIFY(!result.reason.isEmpty());
        QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
        QVERIFY(!port.write("\x0D").ok); // never a write on a closed port
    }

    // The device may be used by this user, so the refusal is the other program's.
    void aBusyDeviceIsRefusedAsBusy() {
        PtyPeer peer;
        PortMap map;
        map.set(1, peer.slavePath());
        SystemSerialPort first(map), second(map);
        QVERIFY(first.open());
        const PortResult result = second.open();
        QVERIFY(!result.ok);
        QVERIFY2(result.reason.contains(peer.slavePath()), qPrintable(result.reason));
        QVERIFY(result.reason.contains(QLatin1String("another program")));
    }

    void aVanishedPeerLeavesThePortClosed_data() {
        QTest::addColumn<bool>("slaveHeldElsewhere");
        QTest::addColumn<bool>("writeFirst");
        QTest::newRow("device gone, noticed by a write") << false << true;
        QTest::newRow("device gone, noticed by the event loop") << false << false;
        // The line hangs up but the device stays: reads end-of-file on every pass.
        QTest::newRow("hang-up, noticed by the event loop") << true << false;
        QTest::newRow("hang-up, noticed by a write") << true << true;
    }
    void aVanishedPeerLeavesThePortClosed() {
        QFETCH(bool, slaveHeldElsewhere);
        QFETCH(bool, writeFirst);
        auto peer = std::make_unique<PtyPeer>(slaveHeldElsewhere);
        PortMap map;
        map.set(1, peer->slavePath());
        SystemSerialPort port(map);
        QVERIFY(port.open());
        int errors = 0;
        QObject::connect(&port.qtPort(), &QSerialPort::errorOccurred,
                         [&errors](auto e) { errors += e != QSerialPort::NoError; });
        peer->closeMaster();
        if (writeFirst)
            port.write("\x0D");
        QTRY_VERIFY(!port.isOpen());
        QVERIFY(!port.write("\x0D").ok);
        QTest::qWait(50);
        QVERIFY2(errors <= 2, qPrintable(QString::number(errors))); // no storm of errors
    }

    void aFloodingPeerCannotSwellTheBuffer() {
        PtyPeer peer;
        PortMap map;
        map.set(1, peer.slavePath());
        SystemSerialPort port(map);
        QVERIFY(port.open());
        const QByteArray chunk(64 * 1024, 'x');
        // Once the port holds its fill, the line pushes back on the peer.
        for (int i = 0; i < 16; ++i) {
            peer.write(chunk.first(4000), 20);
            QTest::qWait(1);
            QVERIFY(port.qtPort().bytesAvailable() <= SystemSerialPort::ReadBufferSize);
        }
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
