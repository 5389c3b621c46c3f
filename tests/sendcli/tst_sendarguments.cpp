// torvika-send's command line: each command's bytes, every bound refused with the argument
// named.
#include "sendcli/arguments.h"
#include "sendcli/sender.h"
#include "settings/charsetfile.h"
#include "support/recordingserialport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace torvika;
using namespace torvika::sendcli;

class TstSendArguments : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    const QString chars = dir_.filePath(QStringLiteral("set.tvkchars"));

private slots:
    void initTestCase() {
        charset::CharacterSet set;
        set.chars[0] = 0x1F;
        QVERIFY(charset::writeFile(chars, set).isEmpty());
    }

    // Arguments split at blanks (%chars: a file whose character 0 has its top row lit); the
    // bytes from the protocol's tables, or how the refusal begins.
    void argumentsGiveBytesOrAreRefused_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        // Both edges of every range go out; one past each is refused with the value named.
        // %1: the value as a number, %c: the character of that code, %s: that many "a".
        struct {
            const char *form;
            int low, high;
            const char *lowBytes, *highBytes, *problem;
        } const edges[] = {
            {"cursor %1 0", 0, 1, "FE 32 00 00", "FE 32 01 00", "cursor ROW is a whole number"},
            {"cursor 0 %1", 0, 15, "FE 32 00 00", "FE 32 00 0F", "cursor COLUMN is a whole"},
            {"clear-row %1", 0, 1, "FE 2D 00", "FE 2D 01", "clear-row ROW is a whole number"},
            {"clear-column %1", 0, 15, "FE 2E 00", "FE 2E 0F", "clear-column COLUMN is a"},
            {"char %1", 1, 8, "00", "07", "char N is a whole number from 1 to 8"},
            {"brightness %1", 50, 250, "FE 28 32", "FE 28 FA", "brightness LEVEL is a whole"},
            {"bar right %1", 1, 80, "FE 2B 01", "FE 2B 50", "bar WIDTH is a whole number"},
            {"bar left %1", 1, 80, "FE 2C 01", "FE 2C 50", "bar WIDTH is a whole number"},
            {"--port %1 --dry-run home", 1, 20, "0B", "0B", "--port is a port number from 1 to"},
            {"text %c", 32, 253, "20", "FD", "text STRING holds"},
            {"text %c", 255, 255, "FF", "FF", "text STRING holds"},
            {"startup %s", 1, 16, "FE C8 61 0D FF",
             "FE C8 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 0D FF", "startup ROW0"},
            {"startup b %s", 0, 16, "FE C8 62 0D FF",
             "FE C8 62 0D 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 FF", "startup ROW1"}};
        for (const auto &e : edges) {
            for (const int v : {e.low - 1, e.low, e.high, e.high + 1}) {
                const QString value = strstr(e.form, "%c")   ? QString(QChar(v))
                                      : strstr(e.form, "%s") ? QString(qMax(v, 0), u'a')
                                                             : QString::number(v);
                if (v < 0 && strstr(e.form, "%s"))
                    continue; // no row is shorter than empty
                const bool inside = v >= e.low && v <= e.high;
                QTest::addRow("%s with %d: %s", e.form, v, inside ? "sent" : "refused")
                    << QString::fromLatin1(e.form)
                           .replace(QRegularExpression("%[1cs]"), QStringLiteral("\x01"))
                           .split(u' ')
                           .replaceInStrings(QStringLiteral("\x01"), value)
                           .join(QChar(0x02))
                    << (inside ? QByteArray::fromHex(v == e.low ? e.lowBytes : e.highBytes)
                               : QByteArray())
                    << (inside ? QString() : QStringLiteral("(\"%1\"): %2").arg(value, e.problem));
            }
        }
        const char *const sent[][2] = {
            {"text Hé text clear home next-line clear backspace left right",
             "48 E9 63 6C 65 61 72 0B 0C 0D 08 0E 0F"},
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
            {"chars %chars", "FE 64 1F"},
            {"-- text -n", "2D 6E"},
            {"--dry-run -- text -n", "2D 6E"},
            {"line: clear cursor 1 '1'5 # a comment", "0D FE 32 01 0F"},
            {"line: text a#b # a comment", "61 23 62"},
            {"line: text \"a \\\"b\" text 'c d' text e\\ f", "61 20 22 62 63 20 64 65 20 66"},
            {"line: \t ", ""}};
        for (const auto &r : sent) {
            QByteArray bytes = QByteArray::fromHex(r[1]);
            if (bytes.startsWith("\xFE\x64"))
                bytes.append(QByteArray(63, 0));
            QTest::addRow("%s", r[0]) << QString::fromUtf8(r[0]) << bytes << QString();
        }
        const char *const refused[][2] = {
            {"text h€",
             "argument 2 (\"h€\"): text STRING holds \"€\" (code 8364), which the display"},
            {"text a\tb", "argument 2 (\"a\tb\"): text STRING holds a control character (code 9)"},
            {"text aþ(",
             "argument 2 (\"aþ(\"): text STRING holds \"þ\" (code 254), which the module"},
            {"outputs on of on", "argument 3 (\"of\"): outputs OUTPUT2 is on or off"},
            {"backlight dim", "argument 2 (\"dim\"): backlight STATE is on or off"},
            {"cursor-style bold", "argument 2 (\"bold\"): cursor-style STYLE is underline, block"},
            {"bar right", "argument 2 (\"right\"): bar right needs a WIDTH"},
            {"module-speed 4800", "argument 2 (\"4800\"): module-speed SPEED is 9600 or 19200"},
            {"chars /nonexistent", "argument 2 (\"/nonexistent\"): chars FILE cannot be used: "},
            {"clear frob", "argument 2 (\"frob\"): unknown command"},
            {"cursor 1", "argument 1 (\"cursor\"): cursor needs ROW COLUMN"},
            {"--dry-run", "no command given"},
            {"clear --dry-run", "argument 2 (\"--dry-run\"): options go before the commands"},
            {"--speed 4800 clear | the value named",
             "argument 2 (\"4800\"): --speed is 9600 or 19200"},
            {"--port 0 clear | the value named",
             "argument 2 (\"0\"): --port is a port number from 1 to 20$"},
            {"--port=0 clear", "argument 1 (\"--port=0\"): --port is a port number from 1 to 20"},
            {"--port 1 --port 2 clear", "argument 3 (\"--port\"): --port is given more than once"},
            {"--dry-run=1 clear", "argument 1 (\"--dry-run=1\"): --dry-run takes no value"},
            {"--stdin clear", "argument 2 (\"clear\"): --stdin reads the commands from"},
            {"--stdin probe", "argument 1 (\"--stdin\"): probe reads no standard input"},
            {"startup a\rb | nothing is sent said once, by the caller",
             "argument 2 (\"a\rb\"): startup Row 0 holds carriage return (code 13), which the "
             "startup screen cannot carry$"},
            {"--port 1 --device /x home", "argument 1 (\"--port\"): --port and --device both"},
            {"--device", "argument 1 (\"--device\"): --device needs a device path"},
            {"--speed 9600 probe", "argument 1 (\"--speed\"): probe tries both speeds itself"},
            {"probe clear", "argument 2 (\"clear\"): probe takes only --device PATH and"},
            {"line: text \"a", "the quote \" is not closed"},
            {"line: --dry-run clear", "argument 1 (\"--dry-run\"): options go on the command line"},
            {"line: char 9", "argument 2 (\"9\"): char N is a whole number from 1 to 8"}};
        for (const auto &r : refused)
            QTest::addRow("refused: %s", r[0])
                << QString::fromUtf8(r[0]) << QByteArray() << QString::fromUtf8(r[1]);
    }
    void argumentsGiveBytesOrAreRefused() {
        QFETCH(QString, args);
        QFETCH(QString, error);
        args = args.section(QStringLiteral(" | "), 0, 0).replace("%chars", chars);
        // "line: ": one line of --stdin; \x02: the rows above split there, not at blanks.
        const ParseResult parsed =
            args.startsWith(u"line: ")
                ? parseCommandLine(args.mid(6))
                : parseArguments(args.split(args.contains(QChar(0x02)) ? QChar(0x02) : u' '));
        // The error begins so, holds it when it begins with "(", or is it when it ends with $.
        const bool whole = error.endsWith(u'$');
        const bool errorFits = whole                    ? parsed.error == error.chopped(1)
                               : error.startsWith(u'(') ? parsed.error.contains(error)
                                                        : parsed.error.startsWith(error);
        QVERIFY2(errorFits && parsed.invocation.has_value() == error.isEmpty(),
                 qPrintable(parsed.error));
        if (!parsed.invocation)
            return;
        QTEST(bytesOf(parsed.invocation->steps), "bytes");
        // The write fails at each byte in turn: the call ends there with the port's own reason
        // (read-inputs does not call it "No Response"), and nothing after it goes out.
        QFETCH(QByteArray, bytes);
        for (int at = 0; at < bytes.size(); ++at) {
            test::RecordingSerialPort port;
            port.open();
            port.failAtByte = at;
            QString out, err;
            QTextStream o(&out), e(&err);
            int in[2]; // a line of --stdin comes twice: nothing is read after the failure
            const QByteArray lines = (args.mid(6) + u'\n' + args.mid(6)).toUtf8();
            QVERIFY(!::pipe(in) && ::write(in[1], lines.data(), lines.size()) && !::close(in[1]));
            const auto any = [](int) { return true; };
            const auto &steps = parsed.invocation->steps;
            const int status = args.startsWith(u"line: ") ? sendLines(in[0], &port, any, o, e)
                                                          : sendSteps(steps, port, any, o, e);
            ::close(in[0]);
            QVERIFY2(status == 1 && port.written() == bytes.left(at) && out.isEmpty() &&
                         ("\n" + err).endsWith(u"\ntorvika-send: /dev/recorded1: write failed\n"),
                     qPrintable(QStringLiteral("at byte %1: %2").arg(at).arg(err)));
        }
    }

    // A byte that came before the query is no answer to it: a module that then stays silent
    // gives "No Response From LCD".
    void aByteWaitingBeforeTheQueryIsNoAnswer() {
        test::RecordingSerialPort port;
        port.open();
        port.waiting = "\x07";
        QString out, err;
        QTextStream o(&out), e(&err);
        QCOMPARE(sendSteps(
                     parseArguments({"read-inputs"}).invocation->steps, port,
                     [](int) { return true; }, o, e),
                 3);
        QCOMPARE(err, "No Response From LCD\n");
    }
};

QTEST_GUILESS_MAIN(TstSendArguments)
#include "tst_sendarguments.moc"
