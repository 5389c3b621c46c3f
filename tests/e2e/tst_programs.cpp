// The programs as a shell and a desktop session meet them: options, exit statuses, signals.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString Panel = QStringLiteral(TORVIKA_PANEL);
const QString Module = QStringLiteral(TORVIKA_VIRTUAL_MODULE);

// Whether the process has its own handler for the signal yet (Linux: /proc/<pid>/status).
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void optionsWorkWithoutADisplay_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // start of standard output; stderr then stays empty
        // clang-format off
        QTest::newRow("panel --help") << Panel << "--help" << 0 << "Usage: torvika-panel [options]";
        QTest::newRow("panel --version, the window system's options passed on") << Panel << "-style fusion --version" << 0 << "torvika-panel 0.";
        QTest::newRow("panel, unknown option") << Panel << "--colour" << 2 << "";
        QTest::newRow("panel, an argument") << Panel << "torvika.ini" << 2 << "";
        QTest::newRow("module --version") << Module << "--version" << 0 << "torvika-virtual-module 0.";
        // clang-format on
    }
    void optionsWorkWithoutADisplay() {
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")); // cannot start
        process.setProcessEnvironment(env);
        process.start(program, arguments.split(u' '));
        QVERIFY(process.waitForFinished(10000));
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(status == 0 ? stdOut.startsWith(out) && stdErr.isEmpty()
                             : stdOut.isEmpty() && stdErr.contains(QLatin1String("Usage:")),
                 qPrintable(stdOut + stdErr));
    }

    void signalEndsThePanelLikeClosingIt_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM, as at logout") << SIGTERM;
        QTest::newRow("SIGHUP, the session is gone") << SIGHUP;
    }
    // The panel keeps its settings beside itself: a copy in a folder of its own writes there.
    void signalEndsThePanelLikeClosingIt() {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("torvika-panel"));
        QVERIFY(QFile::copy(Panel, copy));
        QProcess panel; // offscreen, as this test
        panel.start(copy, {});
        QVERIFY(panel.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catches(panel.processId(), signal), 10000);
        QCOMPARE(::kill(static_cast<pid_t>(panel.processId()), signal), 0);
        QVERIFY(panel.waitForFinished(10000));
        QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.exitCode(), 0);
        QFile settings(dir.filePath(QStringLiteral("torvika.ini")));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY2(settings.readAll().contains("BL=155"), "the close wrote the settings back");
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "tst_programs.moc"
