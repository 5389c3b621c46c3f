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

    void commandsGiveThePanelsBytes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("firstLine");
        const auto row = [](const char *name, QStringList a, QByteArray b, QString line) {
            QTest::newRow(name) << a << b << line;
        };
        row("text sends one byte a character, Latin-1 included", {"text", "Hé"}, "H\xE9",
            "48  text \"H\"");
        row("text takes a command's name as text", {"text", "clear"}, "clear", "63  text \"c\"");
        row("home next-line clear", {"home", "next-line", "clear"}, "\x0B\x0C\x0D",
            "0B  cursor home");
        row("backspace left right", {"backspace", "left", "right"}, "\x08\x0E\x0F",
            "08  back space");
        row("cursor 1 15 sends FE 32 01 0F", {"cursor", "1", "15"}, "\xFE\x32\x01\x0F",
            "FE 32 01 0F  cursor to row 1, column 15");
        row("cursor styles 1 to 3",
            {"cursor-style", "underline", "cursor-style", "block", "cursor-style", "hidden"},
            "\xFE\x01\xFE\x02\xFE\x03", "FE 01  cursor: underline");
        row("clear-row 1, clear-column 15", {"clear-row", "1", "clear-column", "15"},
            "\xFE\x2D\x01\xFE\x2E\x0F", "FE 2D 01  clear row 1");
        row("char 1 and 8 are user characters 0 and 7", {"char", "1", "char", "8"},
            QByteArray("\x00\x07", 2), "00  user character 0");
        row("backlight on, off", {"backlight", "on", "backlight", "off"}, "\xFE\x06\xFE\x07",
            "FE 06  backlight on");
        row("brightness 50 and 250", {"brightness", "50", "brightness", "250"},
            "\xFE\x28\x32\xFE\x28\xFA", "FE 28 32  brightness 50");
        row("outputs on off on sends mask 5", {"outputs", "on", "off", "on"}, "\xFE\x2F\x05",
            "FE 2F 05  outputs 1-3");
        row("read-inputs", {"read-inputs"}, "\xFE\x0A", "FE 0A  read inputs");
        row("bar init, right 80, left 1", {"bar", "init", "bar", "right", "80", "bar", "left", "1"},
            "\xFE\x04\xFE\x2B\x50\xFE\x2C\x01", "FE 04  prepare bar graph characters");
        row("load-chars, show-startup", {"load-chars", "show-startup"}, "\xFE\x08\xFE\x16",
            "FE 08  load user characters from memory");
        row("chars sends the file's 64 rows", {"chars", "%chars"},
            "\xFE\x64\x1F" + QByteArray(62, 0) + "\x01",
            "FE 64 1F" + QString(" 00").repeated(62) + " 01  define the 8 user characters");
        row("startup with two rows", {"startup", "abc", "xyz"},
            "\xFE\xC8"
            "abc\x0Dxyz\xFF",
            "FE C8 61 62 63 0D 78 79 7A FF  store startup screen \"abc\" / \"xyz\"");
        row("startup's row 1 ends at a command's name", {"startup", "abc", "clear"},
            "\xFE\xC8"
            "abc\x0D\xFF\x0D",
            "FE C8 61 62 63 0D FF  store startup screen \"abc\" / \"\"");
        row("startup-erase and its text", {"startup-erase"}, "\xFE\x15\x0DStartup Screen Erased",
            "FE 15 0D  erase startup screen");
        row("module-speed 19200 and its text", {"module-speed", "19200"},
            "\x0D\xFE\x1F"
            "BR Set : 19200",
            "0D  clear screen");
        row("save and its text", {"save"}, "\xFE\x14\x0DSettings Saved",
            "FE 14 0D  save settings to memory");
    }
    void commandsGiveThePanelsBytes() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, firstLine);
        args.replaceInStrings(QStringLiteral("%chars"), charsFile_);
        const ParseResult parsed = parseArguments(QStringList{"--dry-run"} + args);
        QVERIFY2(parsed.invocation, qPrintable(parsed.error));
        QCOMPARE(bytesOf(parsed.invocation->steps), bytes);
        QCOMPARE(frameLines(parsed.invocation->steps).value(0), firstLine);
    }

    void badArgumentsAreNamed_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, QStringList a, const char *e) {
            QTest::newRow(name) << a << QString::fromUtf8(e);
        };
        row("row 2", {"clear", "cursor", "2", "0"},
            "argument 3 (\"2\"): cursor ROW is a whole number from 0 to 1");
        row("column 16", {"cursor", "0", "16"},
            "argument 3 (\"16\"): cursor COLUMN is a whole number from 0 to 15");
        row("clear-row 2", {"clear-row", "2"},
            "argument 2 (\"2\"): clear-row ROW is a whole number from 0 to 1");
        row("clear-column -1", {"clear-column", "-1"},
            "argument 2 (\"-1\"): clear-column COLUMN is a whole number from 0 to 15");
        row("text above 255", {"text", "h€"},
            "argument 2 (\"h€\"): text STRING holds \"€\" "
            "(code 8364), which the display cannot show: text is codes 32 to 255");
        row("text with a tab", {"text", "a\tb"},
            "argument 2 (\"a\tb\"): text STRING holds a "
            "control character (code 9), which the display cannot show: text is codes 32 to 255");
        row("text with þ, the command prefix", {"text", "aþ("},
            "argument 2 (\"aþ(\"): text STRING holds \"þ\" (code 254), which the module reads "
            "as the start of a command");
        row("char 9", {"char", "9"}, "argument 2 (\"9\"): char N is a whole number from 1 to 8");
        row("brightness 49", {"brightness", "49"},
            "argument 2 (\"49\"): brightness LEVEL is a whole number from 50 to 250");
        row("outputs with a typo", {"outputs", "on", "of", "on"},
            "argument 3 (\"of\"): outputs OUTPUT2 is on or off");
        row("backlight dim", {"backlight", "dim"},
            "argument 2 (\"dim\"): backlight STATE is on or off");
        row("cursor-style bold", {"cursor-style", "bold"},
            "argument 2 (\"bold\"): cursor-style STYLE is underline, block or hidden");
        row("bar 81 columns", {"bar", "left", "81"},
            "argument 3 (\"81\"): bar WIDTH is a whole number from 1 to 80");
        row("bar without width", {"bar", "right"},
            "argument 2 (\"right\"): bar right needs a WIDTH");
        row("startup row with a carriage return", {"startup", "a\rb"},
            "argument 2 (\"a\rb\"): startup Row 0 holds carriage return (code 13), which the "
            "startup screen cannot carry; nothing is sent.");
        row("startup row of 17", {"startup", "x", "12345678901234567"},
            "argument 3 (\"12345678901234567\"): startup ROW1 has 17 characters; a row holds at "
            "most 16");
        row("startup without row 0 text", {"startup", ""},
            "argument 2 (\"\"): startup ROW0 is empty; the startup screen needs text in row 0");
        row("module-speed 4800", {"module-speed", "4800"},
            "argument 2 (\"4800\"): module-speed SPEED is 9600 or 19200");
        row("chars of a missing file", {"chars", "/nonexistent.tvkchars"},
            "argument 2 (\"/nonexistent.tvkchars\"): chars FILE cannot be used: "
            "/nonexistent.tvkchars does not exist.");
        row("unknown command after good ones", {"clear", "frob"},
            "argument 2 (\"frob\"): unknown command");
        row("missing arguments", {"cursor", "1"},
            "argument 1 (\"cursor\"): cursor needs ROW COLUMN");
        row("no command", {"--dry-run"}, "no command given");
        row("option after a command", {"clear", "--dry-run"},
            "argument 2 (\"--dry-run\"): options go before the commands");
        row("unknown option", {"--frob", "clear"}, "argument 1 (\"--frob\"): unknown option");
        row("port 21", {"--port=21", "clear"},
            "argument 1 (\"--port=21\"): --port is a port number from 1 to 20");
        row("speed 4800", {"--speed", "4800", "clear"},
            "argument 1 (\"--speed\"): --speed is 9600 or 19200");
        row("port and device", {"--port", "1", "--device", "/dev/x", "clear"},
            "argument 1 (\"--port\"): --port and --device both name the device; give only one");
        row("option without value", {"--device"},
            "argument 1 (\"--device\"): --device needs a device path");
        row("probe with a speed", {"--speed", "9600", "probe"},
            "argument 1 (\"--speed\"): probe tries both speeds itself");
        row("probe with a command", {"probe", "clear"},
            "argument 2 (\"clear\"): probe takes only --device PATH and --settings FILE");
    }
    void badArgumentsAreNamed() {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        const ParseResult parsed = parseArguments(args);
        QVERIFY(!parsed.invocation);
        QCOMPARE(parsed.error, error);
    }

    // The panel's settings file names the device and the line settings.
    void targetFollowsThePanelsFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("warnings");
        const QByteArray ini = "[Settings]\nCommPort=2\nSetting=19200,e,7,1\n[Ports]\n2=ttyUSB0\n";
        QTest::newRow("CommPort through [Ports], Setting") << ini << QStringList{} << "/dev/ttyUSB0"
                                                           << "19200,e,7,1" << 0;
        QTest::newRow("--port without entry is ttyS<N-1>, --speed wins")
            << ini << QStringList{"--port", "3", "--speed", "9600"} << "/dev/ttyS2"
            << "9600,n,8,1" << 0;
        QTest::newRow("--device takes the file's Setting")
            << ini << QStringList{"--device", "/dev/a"} << "/dev/a"
            << "19200,e,7,1" << 0;
        QTest::newRow("unusable values: the panel's defaults, with a warning each")
            << QByteArray("[Settings]\nCommPort=x\nSetting=9600,q,8,1\n") << QStringList{}
            << "/dev/ttyS0"
            << "9600,n,8,1" << 2;
    }
    void targetFollowsThePanelsFile() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, options);
        const QString path = dir_.filePath(QStringLiteral("settings.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ini);
        file.close();
        const ParseResult parsed =
            parseArguments(options + QStringList{"--settings", path, "home"});
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
