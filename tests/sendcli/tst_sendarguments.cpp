// torvika-send's command line: each command's bytes, every bound refused with the argument
// named.
#include "sendcli/arguments.h"
#include "settings/charsetfile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::sendcli;

class TstSendArguments : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    // Arguments split at blanks (%chars: a file whose character 0 has its top row lit); the
    // bytes from the protocol's tables, or how the refusal begins.
    void argumentsGiveBytesOrAreRefused_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const char *const sent[][2] = {
            {"text Hé text clear home next-line clear backspace left right",
             "48 E9 63 6C 65 61 72 0B 0C 0D 08 0E 0F"},
            {"cursor 1 15 clear-row 1 clear-column 15", "FE 32 01 0F FE 2D 01 FE 2E 0F"},
            {"cursor-style underline cursor-style block cursor-style hidden", "FE 01 FE 02 FE 03"},
            {"char 1 char 8 backlight on backlight off", "00 07 FE 06 FE 07"},
            {"brightness 50 brightness 250 outputs on off on", "FE 28 32 FE 28 FA FE 2F 05"},
            {"read-inputs load-chars show-startup bar init bar right 80 bar left 1",
             "FE 0A FE 08 FE 16 FE 04 FE 2B 50 FE 2C 01"},
            {"startup abc xyz startup abc clear",
             "FE C8 61 62 63 0D 78 79 7A FF FE C8 61 62 63 0D FF 0D"},
            {"startup-erase save",
             "FE 15 0D 53 74 61 72 74 75 70 20 53 63 72 65 65 6E 20 45 72 "
             "61 73 65 64 FE 14 0D 53 65 74 74 69 6E 67 73 20 53 61 76 65 64"},
            {"module-speed 19200", "0D FE 1F 42 52 20 53 65 74 20 3A 20 31 39 32 30 30"},
            {"chars %chars", "FE 64 1F"}};
        for (const auto &r : sent) {
            QByteArray bytes = QByteArray::fromHex(r[1]);
            if (bytes.startsWith("\xFE\x64"))
                bytes.append(QByteArray(63, 0));
            QTest::addRow("%s", r[0]) << QString::fromUtf8(r[0]) << bytes << QString();
        }
        const char *const refused[][2] = {
            {"clear cursor 2 0", "argument 3 (\"2\"): cursor ROW is a whole number from 0 to 1"},
            {"cursor 0 16", "argument 3 (\"16\"): cursor COLUMN is a whole number from 0 to 15"},
            {"text h€",
             "argument 2 (\"h€\"): text STRING holds \"€\" (code 8364), which the display"},
            {"text a\tb", "argument 2 (\"a\tb\"): text STRING holds a control character (code 9)"},
            {"text aþ(",
             "argument 2 (\"aþ(\"): text STRING holds \"þ\" (code 254), which the module"},
            {"char 9", "argument 2 (\"9\"): char N is a whole number from 1 to 8"},
            {"brightness 49", "argument 2 (\"49\"): brightness LEVEL is a whole number from 50 to"},
            {"outputs on of on", "argument 3 (\"of\"): outputs OUTPUT2 is on or off"},
            {"backlight dim", "argument 2 (\"dim\"): backlight STATE is on or off"},
            {"cursor-style bold", "argument 2 (\"bold\"): cursor-style STYLE is underline, block"},
            {"bar left 81", "argument 3 (\"81\"): bar WIDTH is a whole number from 1 to 80"},
            {"bar right", "argument 2 (\"right\"): bar right needs a WIDTH"},
            {"startup a\rb", "argument 2 (\"a\rb\"): startup Row 0 holds carriage return"},
            {"startup x 12345678901234567",
             "argument 3 (\"12345678901234567\"): startup ROW1 has 17"},
            {"startup ", "argument 2 (\"\"): startup ROW0 is empty"},
            {"module-speed 4800", "argument 2 (\"4800\"): module-speed SPEED is 9600 or 19200"},
            {"chars /nonexistent", "argument 2 (\"/nonexistent\"): chars FILE cannot be used: "},
            {"clear frob", "argument 2 (\"frob\"): unknown command"},
            {"cursor 1", "argument 1 (\"cursor\"): cursor needs ROW COLUMN"},
            {"--dry-run", "no command given"},
            {"clear --dry-run", "argument 2 (\"--dry-run\"): options go before the commands"},
            {"--port=21 clear", "argument 1 (\"--port=21\"): --port is a port number from 1 to 20"},
            {"--speed 4800 clear", "argument 1 (\"--speed\"): --speed is 9600 or 19200"},
            {"--port 1 --device /x home", "argument 1 (\"--port\"): --port and --device both"},
            {"--device", "argument 1 (\"--device\"): --device needs a device path"},
            {"--speed 9600 probe", "argument 1 (\"--speed\"): probe tries both speeds itself"},
            {"probe clear", "argument 2 (\"clear\"): probe takes only --device PATH and"}};
        for (const auto &r : refused)
            QTest::addRow("refused: %s", r[0])
                << QString::fromUtf8(r[0]) << QByteArray() << QString::fromUtf8(r[1]);
    }
    void argumentsGiveBytesOrAreRefused() {
        QFETCH(QString, args);
        QFETCH(QString, error);
        charset::CharacterSet set;
        set.chars[0] = 0x1F;
        const QString chars = dir_.filePath(QStringLiteral("set.tvkchars"));
        QVERIFY(charset::writeFile(chars, set).isEmpty());
        const ParseResult parsed = parseArguments(args.replace("%chars", chars).split(u' '));
        QVERIFY2(parsed.error.startsWith(error) && parsed.invocation.has_value() == error.isEmpty(),
                 qPrintable(parsed.error));
        if (parsed.invocation)
            QTEST(bytesOf(parsed.invocation->steps), "bytes");
    }
};

QTEST_GUILESS_MAIN(TstSendArguments)
#include "tst_sendarguments.moc"
