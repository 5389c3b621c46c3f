// torvika-send as a process against the headless virtual module: the frames a call puts on
// the line, what it prints, the module it finds, and its exit statuses.
#include "support/ptypeer.h"
#include "support/virtualmodule.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika::test;

class TstSend : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    // A module at 19200 bit/s with the inputs 1 and 3 high; a settings file that maps port 3 to
    // it and names that speed.
    void initTestCase() {
        QFile state(dir_.filePath("state.json")), ini(dir_.filePath("my.ini"));
        QVERIFY(state.open(QIODevice::WriteOnly) && state.write(R"({"speed": 19200})") > 0);
        QVERIFY(ini.open(QIODevice::WriteOnly) &&
                ini.write("[Settings]\nSetting=19200,n,8,1\n[Ports]\n3=" +
                          dir_.filePath("module").toUtf8() + "\n") > 0);
    }

    // Arguments (%m: the module, %s: a line where nobody answers, %g: a device that is gone,
    // %i: the settings file); status; how standard output begins; what standard error holds;
    // the frames the module decoded.
    void callsReachTheModule_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("frames");
        struct {
            const char *name, *args;
            int status;
            const char *out, *err = "", *frames = "";
        } const calls[] = {
            {"port and speed from a settings file; inputs read",
             "--settings %i --port 3 text Hi outputs on off on read-inputs", 0,
             "1=HIGH 2=LOW 3=HIGH\n", "", "48|69|FE 2F 05|FE 0A"},
            {"probe: no answer, gone, the module at 19200",
             "probe --device %s --device %g --device %m", 0,
             "%s at 9600 bit/s: no answer\n%s at 19200 bit/s: no answer\n"
             "%g at 9600 bit/s: cannot be opened: no such device\n"
             "%g at 19200 bit/s: cannot be opened: no such device\n"
             "%m at 9600 bit/s: no answer\n%m at 19200 bit/s: answered 1=HIGH 2=LOW 3=HIGH\n",
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
            QTest::addRow("%s", c.name) << c.args << c.status << c.out << c.err << c.frames;
    }
    void callsReachTheModule() {
        QFETCH(QString, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, frames);
        PtyPeer silent;
        VirtualModule module(TORVIKA_VIRTUAL_MODULE, dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("event":"ready")"), 10000);
        module.process.write("inputs 5\n");
        QTRY_VERIFY_WITH_TIMEOUT(module.read().contains(R"("inputs":5)"), 5000);
        for (QString *text : {&args, &out, &err})
            text->replace("%m", module.link)
                .replace("%s", silent.slavePath())
                .replace("%g", dir_.filePath("gone"))
                .replace("%i", dir_.filePath("my.ini"));
        QProcess send;
        send.start(TORVIKA_SEND, args.split(u' '));
        QVERIFY(send.waitForFinished(10000));
        QTEST(send.exitCode(), "status");
        QCOMPARE(QString::fromUtf8(send.readAllStandardOutput()).left(out.size()), out);
        const QString error = QString::fromUtf8(send.readAllStandardError());
        QVERIFY2(err.isEmpty() ? error.isEmpty() : error.contains(err), qPrintable(error));
        QTest::qWait(100); // frames still on their way
        QCOMPARE(module.frames().join(u'|'), frames);
    }
};

QTEST_GUILESS_MAIN(TstSend)
#include "tst_send.moc"
