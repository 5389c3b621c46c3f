// torvika-send as a process against the headless virtual module: what a call leaves on the
// display, the inputs it reads, the module it finds, and its exit statuses.
#include "support/ptypeer.h"
#include "support/virtualmodule.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika::test;

namespace {

struct Call {
    int status = -1;
    QString out, err;
};

Call send(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(TORVIKA_SEND), args);
    p.waitForFinished(10000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QJsonValue at(const QJsonObject &state, const char *key, const char *member) {
    return state.value(QLatin1String(key)).toObject().value(QLatin1String(member));
}

} // namespace

class TstSend : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    bool writeFile(const QString &name, const QByteArray &content) {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    }

private slots:
    // One call, several commands: the module ends as the same clicks in the panel leave it.
    void sessionReachesTheModule() {
        VirtualModule module(QStringLiteral(TORVIKA_VIRTUAL_MODULE), dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        QVERIFY(writeFile("set.tvkchars",
                          "[Characters]\n0=10 00 00 00 00 00 00 01\n1=0 0 0 0 0 0 0 0\n"
                          "2=0 0 0 0 0 0 0 0\n3=0 0 0 0 0 0 0 0\n4=0 0 0 0 0 0 0 0\n"
                          "5=0 0 0 0 0 0 0 0\n6=0 0 0 0 0 0 0 0\n7=0 0 0 0 0 0 0 0\n"));
        // Port 3 of a settings file of its own stands for the module.
        QVERIFY(writeFile("my.ini", "[Settings]\nSetting=9600,n,8,1\n[Ports]\n3=" +
                                        module.link().toUtf8() + "\n"));
        const Call c = send({"--settings",
                             dir_.filePath("my.ini"),
                             "--port",
                             "3",
                             "clear",
                             "text",
                             "Hi",
                             "chars",
                             dir_.filePath("set.tvkchars"),
                             "cursor",
                             "1",
                             "5",
                             "char",
                             "1",
                             "backlight",
                             "off",
                             "brightness",
                             "80",
                             "outputs",
                             "on",
                             "off",
                             "on",
                             "cursor-style",
                             "block"});
        QCOMPARE(c.status, 0);
        QTRY_COMPARE_WITH_TIMEOUT(module.state().value("outputs").toInt(), 5, 5000);
        const QJsonObject s = module.state();
        QCOMPARE(module.row(0), QStringLiteral("Hi") + QString(14, u' '));
        QCOMPARE(module.row(1).at(5), QChar(0));
        QCOMPARE(at(s, "cursor", "row").toInt(), 1);
        QCOMPARE(at(s, "cursor", "column").toInt(), 6);
        QCOMPARE(at(s, "cursor", "style").toString(), QStringLiteral("blinking block"));
        QCOMPARE(s.value("chars").toArray().at(0).toString(), QStringLiteral("1000000000000001"));
        QCOMPARE(at(s, "backlight", "on").toBool(), false);
        QCOMPARE(at(s, "backlight", "level").toInt(), 80);
        QVERIFY2(c.err.isEmpty(), qPrintable(c.err));
    }

    void readInputs_data() {
        QTest::addColumn<bool>("module");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("switches 5 read as 1 and 3 high") << true << 0 << "1=HIGH 2=LOW 3=HIGH\n"
                                                         << "";
        QTest::newRow("a silent line: no response, status 3") << false << 3 << ""
                                                              << "No Response From LCD\n";
    }
    void readInputs() {
        QFETCH(bool, module);
        PtyPeer silent;
        VirtualModule vm(QStringLiteral(TORVIKA_VIRTUAL_MODULE), dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(vm.ready(), 10000);
        vm.send("inputs 5");
        QTRY_COMPARE_WITH_TIMEOUT(vm.state().value("inputs").toInt(), 5, 5000);
        const Call c = send({"--device", module ? vm.link() : silent.slavePath(), "--speed", "9600",
                             "read-inputs"});
        QTEST(c.status, "status");
        QTEST(c.out, "out");
        QTEST(c.err, "err");
    }

    void probeFindsTheModuleAt19200() {
        QVERIFY(writeFile("state.json", R"({"speed": 19200})"));
        VirtualModule module(QStringLiteral(TORVIKA_VIRTUAL_MODULE), dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        PtyPeer empty;
        const QString missing = dir_.filePath("missing");
        const Call c = send({"probe", "--device", empty.slavePath(), "--device", missing,
                             "--device", module.link()});
        QCOMPARE(c.status, 0);
        QCOMPARE(c.out.split(u'\n'),
                 (QStringList{empty.slavePath() + " at 9600 bit/s: no answer",
                              empty.slavePath() + " at 19200 bit/s: no answer",
                              missing + " at 9600 bit/s: cannot be opened: no such device",
                              missing + " at 19200 bit/s: cannot be opened: no such device",
                              module.link() + " at 9600 bit/s: no answer",
                              module.link() + " at 19200 bit/s: answered 1=LOW 2=LOW 3=LOW", ""}));
        QVERIFY(c.err.contains(u"only the read-inputs query"));
        QCOMPARE(empty.readAvailable(), QByteArray("\xFE\x0A\xFE\x0A"));
        // The query at 9600 was lost on the module, which runs at 19200.
        QTRY_COMPARE_WITH_TIMEOUT(module.frames(), QStringList{"FE 0A"}, 5000);
        QCOMPARE(module.ignored().size(), 1);
    }

    void exitStatuses_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("a bad argument sends nothing")
            << QStringList{"--device", "%module", "clear", "cursor", "2", "0"} << 2 << ""
            << "argument 5 (\"2\"): cursor ROW";
        QTest::newRow("a missing device")
            << QStringList{"--device", "/nonexistent/tty", "clear"} << 1 << ""
            << "torvika-send: /nonexistent/tty: no such device\n";
        QTest::newRow("a missing settings file")
            << QStringList{"--device", "%module", "--settings", "/nonexistent.ini", "clear"} << 2
            << ""
            << "/nonexistent.ini does not exist";
        QTest::newRow("help on standard output") << QStringList{"--help"} << 0 << "Usage: "
                                                 << "";
        QTest::newRow("version on standard output")
            << QStringList{"--version"} << 0 << "torvika-send "
            << "";
    }
    void exitStatuses() {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        VirtualModule module(QStringLiteral(TORVIKA_VIRTUAL_MODULE), dir_.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        const Call c = send(args.replaceInStrings(QStringLiteral("%module"), module.link()));
        QTEST(c.status, "status");
        // Empty: nothing to look for (a null text does not "start with" an empty one).
        QVERIFY2((out.isEmpty() || c.out.startsWith(out)) && (err.isEmpty() || c.err.contains(err)),
                 qPrintable(c.out + c.err));
        QTest::qWait(100);
        QVERIFY(module.frames().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstSend)
#include "tst_send.moc"
