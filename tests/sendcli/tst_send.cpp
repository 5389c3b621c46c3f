// torvika-send as a process against the headless virtual module: the frames a call puts on
// the line, what it prints, the module it finds, and its exit statuses.
#include "support/ptypeer.h"
#include "support/virtualmodule.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace torvika::test;

class TstSend : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    // A module at 19200 bit/s with all three inputs high; a settings file that maps port 3 to
    // it and names that speed.
    void initTestCase() {
        QFile state(dir_.filePath("state.json")), ini(dir_.filePath("my.ini"));
        QVERIFY(state.open(QIODevice::WriteOnly) && state.write(R"({"speed": 19200})") > 0);
        QVERIFY(ini.open(QIODevice::WriteOnly) &&
                ini.write("[Settings]\nSetting=19200,n,8,1\n[Ports]\n3=" +
                          dir_.filePath("module").toUtf8() + "\n") > 0);
    }

    // Arguments (%m: the module, %s: a line where nobody answers, %g: a device that is gone,
    // %i: the settings file; ">full " first: standard output is a full disk); status; how
    // standard output begins; what standard error holds; the frames the module decoded; what
    // comes on standard input.
    void callsReachTheModule_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QByteArray>("input");
        struct {
            const char *name, *args;
            int status;
            const char *out, *err = "", *frames = "", *input = "";
        } const calls[] = {
            {"--stdin: each line as it comes, a bad one named and skipped: 2",
             "--device %m --speed 19200 --stdin", 2, "",
             "torvika-send: line 2: argument 2 (\"9\"): char N", "0D|48|69",
             "clear\nchar 9\ntext 'H'i\n"},
            {"output that cannot be written: everything sent all the same, then 1",
             ">full --device %m --speed 19200 read-inputs text ab", 1, "",
             "torvika-send: cannot write to standard output: No space left on device\n",
             "FE 0A|61|62"},
            {"--help to a full disk: 1", ">full --help", 1, "", "cannot write to standard output"},
            {"port and speed from a settings file; inputs read",
             "--settings %i --port 3 text Hi outputs on off on read-inputs", 0,
             "1=HIGH 2=HIGH 3=HIGH\n", "", "48|69|FE 2F 05|FE 0A"},
            {"probe: no answer, the module at 19200, gone: 0",
             "probe --device %s --device %m --device %g", 0,
             "%s at 9600 bit/s: no answer\n%s at 19200 bit/s: no answer\n"
             "%m at 9600 bit/s: no answer\n%m at 19200 bit/s: answered 1=HIGH 2=HIGH 3=HIGH\n"
             "%g at 9600 bit/s: cannot be opened: no such device\n"
             "%g at 19200 bit/s: cannot be opened: no such device\n",
             "only the read-inputs query", "FE 0A"},
            {"bad argument: 2", "--device %m clear cursor 2 0", 2, "",
             "argument 5 (\"2\"): cursor ROW"},
            {"missing device: 1", "--device %g clear", 1, "", "torvika-send: %g: no such device\n"},
            {"missing settings file: 2", "--device %m --settings %g clear", 2, "",
             "%g does not exist"},
            {"no answer to read-inputs: 3", "--device %s --speed 9600 read-inputs", 3, "",
             "No Response From LCD\n"},
            {"dry run: the frames, nothing opened", "--device %m --dry-run cursor 1 15 save", 0,
             "FE 32 01 0F  cursor to row 1, column 15\nFE 14 0D  save settings to memory\n"
             "53 65 74 74 69 6E 67 73 20 53 61 76 65 64  text \"Settings Saved\"\n"},
            {"help", "--help", 0, "Usage: "},
            {"version", "--version", 0, "torvika-send "}};
        for (const auto &c : calls)
            QTest::addRow("%s", c.name)
                << c.args << c.status << c.out << c.err << c.frames << QByteArray(c.input);
    }
    void callsReachTheModule() {
        QFETCH(QString, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, frames);
        PtyPeer silent;
        VirtualModule module(TORVIKA_VIRTUAL_MODULE, dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("event":"ready")"), 10000);
        module.process.write("inputs 7\n");
        QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("inputs":7)"), 5000);
        for (QString *text : {&args, &out, &err})
            text->replace("%m", module.link)
                .replace("%s", silent.slavePath())
                .replace("%g", dir_.filePath("gone"))
                .replace("%i", dir_.filePath("my.ini"));
        QProcess send, other;
        if (args.startsWith(u">full "))
            send.setStandardOutputFile(QStringLiteral("/dev/full"));
        send.start(TORVIKA_SEND, args.remove(QStringLiteral(">full ")).split(u' '));
        QFETCH(QByteArray, input);
        send.write(input);
        // Each line goes out as it is read, before the input ends; meanwhile another call finds
        // the line busy, held by one of the two programs that have it open.
        if (!input.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(module.frames().join(u'|'), frames, 5000);
            other.start(TORVIKA_SEND, {"--device", module.link, "clear"});
            QVERIFY(other.waitForFinished() && other.exitCode() == 1 &&
                    other.readAllStandardError().contains(", held by torvika-"));
        }
        send.closeWriteChannel();
        QVERIFY(send.waitForFinished(10000));
        QTEST(send.exitCode(), "status");
        QCOMPARE(QString::fromUtf8(send.readAllStandardOutput()).left(out.size()), out);
        const QString error = QString::fromUtf8(send.readAllStandardError());
        QVERIFY2(err.isEmpty() ? error.isEmpty() : error.contains(err), qPrintable(error));
        QTest::qWait(100); // frames still on their way
        QCOMPARE(module.frames().join(u'|'), frames);
    }

    // Stopped while its line can take no more, the sender finishes the frame it is writing,
    // puts the device's settings back and ends with 128 + the signal.
    void aSignalEndsTheCallBetweenFrames_data() {
        QTest::addColumn<int>("signal");
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            QTest::addRow("SIG%s: %d", sigabbrev_np(signal), 128 + signal) << signal;
    }
    void aSignalEndsTheCallBetweenFrames() {
        QFETCH(int, signal);
        PtyPeer line;
        termios t{};
        const int fd = ::open(QFile::encodeName(line.slavePath()), O_RDWR | O_NOCTTY);
        tcgetattr(fd, &t);
        const speed_t before = cfgetospeed(&t);
        QStringList args{"--device", line.slavePath(), "--speed", "19200"};
        for (int i = 0; i < 20000; ++i) // more than the line holds, in frames of three bytes
            args += QStringList{"clear-row", "1"};
        QProcess send;
        send.start(TORVIKA_SEND, args);
        QVERIFY(send.waitForStarted());
        QByteArray got = line.read(1, 5000);
        QTest::qWait(300); // the line is full and the sender waits
        ::kill(pid_t(send.processId()), signal);
        QTest::qWait(300); // it has seen the signal before the line has room again
        for (QByteArray more;
             !(more = line.readAvailable(10)).isEmpty() || send.state() != QProcess::NotRunning;
             got += more)
            send.waitForFinished(10);
        QCOMPARE(send.exitCode(), 128 + signal);
        QVERIFY2(got.size() > 1000 && got.size() % 3 == 0 &&
                     got == QByteArray::fromHex("FE2D01").repeated(got.size() / 3),
                 qPrintable(QString::number(got.size())));
        tcgetattr(fd, &t);
        ::close(fd);
        QCOMPARE(cfgetospeed(&t), before);
    }

    // Bytes written at the module's speed count, although the line was put back before the
    // module read them, even when it never saw the line at that speed; bytes read while the
    // line still runs at another speed do not. The module is stopped while the line changes
    // unseen; a first byte it answers shows it has seen the line as it is.
    void bytesAreJudgedAtTheSpeedTheyWereWrittenAt_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("unseen");
        QTest::addColumn<bool>("putBack");
        QTest::addColumn<QString>("event");
        QTest::addRow("written at 19200, put back before the module read: decoded")
            << 19200 << false << true << "\"frame\"";
        QTest::addRow("set to 19200, written and put back unseen: decoded")
            << 19200 << true << true << "\"frame\"";
        QTest::addRow("written and read at 9600: ignored")
            << 9600 << false << false << "\"ignored\"";
    }
    void bytesAreJudgedAtTheSpeedTheyWereWrittenAt() {
        QFETCH(int, speed);
        QFETCH(bool, unseen);
        QFETCH(bool, putBack);
        QFETCH(QString, event);
        VirtualModule module(TORVIKA_VIRTUAL_MODULE, dir_.path()); // at 19200
        QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("event":"ready")"), 10000);
        const pid_t pid = pid_t(module.process.processId());
        const int fd = ::open(QFile::encodeName(module.link), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        termios old{};
        tcgetattr(fd, &old);
        termios t = old;
        cfsetspeed(&t, speed == 19200 ? B19200 : B9600);
        if (!unseen) {
            tcsetattr(fd, TCSANOW, &t);
            QCOMPARE(::write(fd, "\x0B", 1), 1);
            QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("bytes":"0B")"), 5000);
        }
        ::kill(pid, SIGSTOP);
        if (unseen)
            tcsetattr(fd, TCSANOW, &t);
        QCOMPARE(::write(fd, "AB", 2), 2);
        if (putBack)
            tcsetattr(fd, TCSANOW, &old);
        ::kill(pid, SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("bytes":"41)"), 5000);
        tcsetattr(fd, TCSANOW, &old);
        ::close(fd);
        const QByteArray line = module.out.mid(module.out.indexOf(R"("bytes":"41)") - 1);
        QVERIFY2(line.left(line.indexOf('\n')).contains(event.toUtf8()), line.constData());
    }
};

QTEST_GUILESS_MAIN(TstSend)
#include "tst_send.moc"
