// torvika-send's command line: each command's bytes and dry-run reading, every bound refused
// with the argument named, and where the device and line settings come from.
#include "sendcli/arguments.h"
#include "sendcli/sender.h"
#include "settings/charsetfile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::sendcli;

class TstSendArguments : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString charsFile_ = dir_.filePath(QStringLiteral("set.tvkchars"));

private slots:
    void initTestCase() {
        charset::CharacterSet set;
        set.chars[0] = 0x1F;
        set.chars[63] = 0x01;
        QVERIFY(charset::writeFile(charsFile_, set).isEmpty());
    }

    // Arguments split at blanks; the bytes; the dry run's line of the first frame.
    void commandsGiveThePanelsBytes_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("firstLine");
        const char *const rows[][3] = {
            {"text Hé", "48 E9", "48  text \"H\""},
            {"text clear", "63 6C 65 61 72", "63  text \"c\""},
            {"home next-line clear", "0B 0C 0D", "0B  cursor home"},
            {"backspace left right", "08 0E 0F", "08  back space"},
            {"cursor 1 15", "FE 32 01 0F", "FE 32 01 0F  cursor to row 1, column 15"},
            {"cursor-style underline cursor-style block cursor-style hidden", "FE 01 FE 02 FE 03",
             "FE 01  cursor: underline"},
            {"clear-row 1 clear-column 15", "FE 2D 01 FE 2E 0F", "FE 2D 01  clear row 1"},
            {"char 1 char 8", "00 07", "00  user character 0"},
            {"backlight on backlight off", "FE 06 FE 07", "FE 06  backlight on"},
            {"brightness 50 brightness 250", "FE 28 32 FE 28 FA", "FE 28 32  brightness 50"},
            {"outputs on off on", "FE 2F 05", "FE 2F 05  outputs 1-3"},
            {"read-inputs", "FE 0A", "FE 0A  read inputs"},
            {"bar init bar right 80 bar left 1", "FE 04 FE 2B 50 FE 2C 01",
             "FE 04  prepare bar graph characters"},
            {"load-chars show-startup", "FE 08 FE 16", "FE 08  load user characters from memory"},
            {"startup abc xyz", "FE C8 61 62 63 0D 78 79 7A FF",
             "FE C8 61 62 63 0D 78 79 7A FF  store startup screen \"abc\" / \"xyz\""},
            {"startup abc clear", "FE C8 61 62 63 0D FF 0D",
             "FE C8 61 62 63 0D FF  store startup screen \"abc\" / \"\""},
            {"startup-erase",
             "FE 15 0D 53 74 61 72 74 75 70 20 53 63 72 65 65 6E 20 45 72 61 73 65 64",
             "FE 15 0D  erase startup screen"},
            {"module-speed 19200", "0D FE 1F 42 52 20 53 65 74 20 3A 20 31 39 32 30 30",
             "0D  clear screen"},
            {"save", "FE 14 0D 53 65 74 74 69 6E 67 73 20 53 61 76 65 64",
             "FE 14 0D  save settings to memory"},
        };
        for (const auto &r : rows)
            QTest::addRow("%s sends %s", r[0], r[1])
                << QString::fromUtf8(r[0]) << QByteArray::fromHex(r[1]) << QString::fromUtf8(r[2]);
        const QString chars = QStringLiteral("FE 64 1F") + QString(" 00").repeated(62) + " 01";
        QTest::newRow("chars sends the file's 64 rows")
            << "chars %chars" << QByteArray::fromHex(chars.toLatin1())
            << chars + "  define the 8 user characters";
    }
    void commandsGiveThePanelsBytes() {
        QFETCH(QString, args);
        const ParseResult parsed =
            parseArguments(QStringList{"--dry-run"} +
                           args.replace(QStringLiteral("%chars"), charsFile_).split(u' '));
        QVERIFY2(parsed.invocation, qPrintable(parsed.error));
        QTEST(bytesOf(parsed.invocation->steps), "bytes");
        QTEST(frameLines(parsed.invocation->steps).value(0), "firstLine");
    }

    // Arguments split at blanks; how the message begins. Nothing is sent for any of them.
    void badArgumentsAreNamed_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("error");
        const char *const rows[][2] = {
            {"clear cursor 2 0", "argument 3 (\"2\"): cursor ROW is a whole number from 0 to 1"},
            {"cursor 0 16", "argument 3 (\"16\"): cursor COLUMN is a whole number from 0 to 15"},
            {"clear-row 2", "argument 2 (\"2\"): clear-row ROW is a whole number from 0 to 1"},
            {"clear-column -1",
             "argument 2 (\"-1\"): clear-column COLUMN is a whole number from 0 to 15"},
            {"text h€", "argument 2 (\"h€\"): text STRING holds \"€\" (code 8364), which the "
                        "display cannot show: text is codes 32 to 255"},
            {"text a\tb", "argument 2 (\"a\tb\"): text STRING holds a control character (code 9)"},
            {"text aþ(", "argument 2 (\"aþ(\"): text STRING holds \"þ\" (code 254), which the "
                         "module reads as the start of a command"},
            {"char 9", "argument 2 (\"9\"): char N is a whole number from 1 to 8"},
            {"brightness 49",
             "argument 2 (\"49\"): brightness LEVEL is a whole number from 50 to 250"},
            {"outputs on of on", "argument 3 (\"of\"): outputs OUTPUT2 is on or off"},
            {"backlight dim", "argument 2 (\"dim\"): backlight STATE is on or off"},
            {"cursor-style bold",
             "argument 2 (\"bold\"): cursor-style STYLE is underline, block or hidden"},
            {"bar left 81", "argument 3 (\"81\"): bar WIDTH is a whole number from 1 to 80"},
            {"bar right", "argument 2 (\"right\"): bar right needs a WIDTH"},
            {"startup a\rb",
             "argument 2 (\"a\rb\"): startup Row 0 holds carriage return (code 13)"},
            {"startup x 12345678901234567",
             "argument 3 (\"12345678901234567\"): startup ROW1 has 17 "
             "characters; a row holds at most 16"},
            {"module-speed 4800", "argument 2 (\"4800\"): module-speed SPEED is 9600 or 19200"},
            {"chars /nonexistent", "argument 2 (\"/nonexistent\"): chars FILE cannot be used: "},
            {"clear frob", "argument 2 (\"frob\"): unknown command"},
            {"cursor 1", "argument 1 (\"cursor\"): cursor needs ROW COLUMN"},
            {"--dry-run", "no command given"},
            {"clear --dry-run", "argument 2 (\"--dry-run\"): options go before the commands"},
            {"--frob clear", "argument 1 (\"--frob\"): unknown option"},
            {"--port=21 clear", "argument 1 (\"--port=21\"): --port is a port number from 1 to 20"},
            {"--speed 4800 clear", "argument 1 (\"--speed\"): --speed is 9600 or 19200"},
            {"--port 1 --device /dev/x clear",
             "argument 1 (\"--port\"): --port and --device both name the device; give only one"},
            {"--device", "argument 1 (\"--device\"): --device needs a device path"},
            {"--speed 9600 probe", "argument 1 (\"--speed\"): probe tries both speeds itself"},
            {"probe clear",
             "argument 2 (\"clear\"): probe takes only --device PATH and --settings FILE"},
        };
        for (const auto &r : rows)
            QTest::addRow("%s", r[0]) << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]);
        QTest::newRow("startup without text in row 0")
            << "startup "
            << "argument 2 (\"\"): startup ROW0 is empty";
    }
    void badArgumentsAreNamed() {
        QFETCH(QString, args);
        const ParseResult parsed = parseArguments(args.split(u' '));
        QFETCH(QString, error);
        QVERIFY(!parsed.invocation);
        QVERIFY2(parsed.error.startsWith(error), qPrintable(parsed.error)); // up to its end
    }

    // The panel's settings file names the device and the line settings.
    void targetFollowsThePanelsFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("warnings");
        const QByteArray ini = "[Settings]\nCommPort=2\nSetting=19200,e,7,1\n[Ports]\n2=ttyUSB0\n";
        QTest::newRow("CommPort through [Ports]; Setting") << ini << ""
                                                           << "/dev/ttyUSB0"
                                                           << "19200,e,7,1" << 0;
        QTest::newRow("--port without entry: ttyS<N-1>; --speed wins")
            << ini << "--port 3 --speed 9600 "
            << "/dev/ttyS2"
            << "9600,n,8,1" << 0;
        QTest::newRow("--device with the file's Setting") << ini << "--device /dev/a "
                                                          << "/dev/a"
                                                          << "19200,e,7,1" << 0;
        QTest::newRow("unusable values: defaults, a warning each")
            << QByteArray("[Settings]\nCommPort=x\nSetting=9600,q,8,1\n") << ""
            << "/dev/ttyS0"
            << "9600,n,8,1" << 2;
    }
    void targetFollowsThePanelsFile() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, options);
        QFile file(dir_.filePath(QStringLiteral("settings.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
        file.close();
        const ParseResult parsed =
            parseArguments((options + "--settings " + file.fileName() + " home").split(u' '));
        QVERIFY2(parsed.invocation, qPrintable(parsed.error));
        const Target target =
            resolveTarget(*parsed.invocation, settingsFile(*parsed.invocation, {}));
        QTEST(target.device, "device");
        QTEST(target.settings, "settings");
        QTEST(int(target.warnings.size()), "warnings");
        QVERIFY(target.problem.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstSendArguments)
#include "tst_sendarguments.moc"
