// torvika-send as a process against the headless virtual module: what a call leaves on the
// display, the inputs it reads, the module it finds, and its exit statuses.
#include "settings/charsetfile.h"
#include "support/ptypeer.h"
#include "support/virtualmodule.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

struct Call {
    int status = -1;
    QString out, err;
};

// Arguments split at blanks.
Call send(const QString &args) {
    QProcess p;
    p.start(QStringLiteral(TORVIKA_SEND), args.split(u' '));
    p.waitForFinished(10000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TstSend : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString module_ = QStringLiteral(TORVIKA_VIRTUAL_MODULE);

private slots:
    // One call, several commands: the module ends as the same clicks in the panel leave it,
    // and its input switches are read.
    void sessionReachesTheModule() {
        VirtualModule module(module_, dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        module.send("inputs 5");
        QTRY_COMPARE_WITH_TIMEOUT(module.state().value("inputs").toInt(), 5, 5000);
        charset::CharacterSet set;
        set.chars[0] = 0x10;
        set.chars[7] = 0x01;
        QVERIFY(charset::writeFile(dir_.filePath("set.tvkchars"), set).isEmpty());
        // Port 3 of a settings file of its own stands for the module.
        QFile ini(dir_.filePath("my.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\nSetting=9600,n,8,1\n[Ports]\n3=" + module.link().toUtf8() + "\n");
        ini.close();
        const Call c = send(QStringLiteral("--settings %1 --port 3 clear text Hi chars %2 cursor 1 "
                                           "5 char 1 backlight off brightness 80 outputs on off on "
                                           "cursor-style block read-inputs")
                                .arg(ini.fileName(), dir_.filePath("set.tvkchars")));
        QCOMPARE(c.status, 0);
        QTRY_COMPARE_WITH_TIMEOUT(module.state().value("outputs").toInt(), 5, 5000);
        const QJsonObject s = module.state();
        QCOMPARE(module.row(0), QStringLiteral("Hi") + QString(14, u' '));
        QCOMPARE(module.row(1).at(5), QChar(0));
        QCOMPARE(s.value("cursor"),
                 QJsonObject({{"row", 1}, {"column", 6}, {"style", "blinking block"}}));
        QCOMPARE(s.value("chars").toArray().at(0).toString(), QStringLiteral("1000000000000001"));
        QCOMPARE(s.value("backlight"), QJsonObject({{"on", false}, {"level", 80}}));
        QCOMPARE(c.out, QStringLiteral("1=HIGH 2=LOW 3=HIGH\n"));
        QCOMPARE(c.err, QString());
    }

    void probeFindsTheModuleAt19200() {
        QFile state(dir_.filePath("state.json"));
        QVERIFY(state.open(QIODevice::WriteOnly) && state.write(R"({"speed": 19200})") > 0);
        state.close();
        VirtualModule module(module_, dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        PtyPeer empty;
        const QString e = empty.slavePath(), m = module.link(), gone = dir_.filePath("gone");
        const Call c =
            send(QStringLiteral("probe --device %1 --device %2 --device %3").arg(e, gone, m));
        QCOMPARE(c.status, 0);
        QCOMPARE(c.out.split(u'\n'),
                 QStringList({e + " at 9600 bit/s: no answer", e + " at 19200 bit/s: no answer",
                              gone + " at 9600 bit/s: cannot be opened: no such device",
                              gone + " at 19200 bit/s: cannot be opened: no such device",
                              m + " at 9600 bit/s: no answer",
                              m + " at 19200 bit/s: answered 1=LOW 2=LOW 3=LOW", ""}));
        QVERIFY(c.err.contains(u"only the read-inputs query"));
        QCOMPARE(empty.readAvailable(), QByteArray("\xFE\x0A\xFE\x0A"));
        // The query at 9600 was lost on the module, which runs at 19200.
        QTRY_COMPARE_WITH_TIMEOUT(module.frames(), QStringList{"FE 0A"}, 5000);
        QCOMPARE(module.ignored().size(), 1);
    }

    // Arguments (%m: the module, %s: a line where nobody answers); status; how standard output
    // begins; what standard error holds.
    void exitStatuses_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("bad argument") << "--device %m clear cursor 2 0" << 2 << ""
                                      << "argument 5 (\"2\"): cursor ROW";
        QTest::newRow("missing device") << "--device /nonexistent/tty clear" << 1 << ""
                                        << "torvika-send: /nonexistent/tty: no such device\n";
        QTest::newRow("missing settings file")
            << "--device %m --settings /nonexistent.ini clear" << 2 << ""
            << "/nonexistent.ini does not exist";
        QTest::newRow("no answer to read-inputs")
            << "--device %s --speed 9600 read-inputs" << 3 << ""
            << "No Response From LCD\n";
        QTest::newRow("dry run: the frames, nothing opened")
            << "--device %m --dry-run cursor 1 15 save" << 0
            << "FE 32 01 0F  cursor to row 1, column 15\nFE 14 0D  save settings to memory\n53  "
               "text \"S\"\n"
            << "";
        QTest::newRow("help") << "--help" << 0 << "Usage: "
                              << "";
        QTest::newRow("version") << "--version" << 0 << "torvika-send "
                                 << "";
    }
    void exitStatuses() {
        QFETCH(QString, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        PtyPeer silent;
        VirtualModule module(module_, dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        const Call c = send(args.replace(QStringLiteral("%m"), module.link())
                                .replace(QStringLiteral("%s"), silent.slavePath()));
        QTEST(c.status, "status");
        QCOMPARE(c.out.left(out.size()), out);
        QVERIFY2(err.isEmpty() || c.err.contains(err), qPrintable(c.err));
        QTest::qWait(100);
        QVERIFY(module.frames().isEmpty()); // nothing was sent
    }
};

QTEST_GUILESS_MAIN(TstSend)
#include "tst_send.moc"
