// The panel as a shell and a desktop session meet it: options, exit statuses, signals.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Whether the process has its own handler for the signal yet (Linux: /proc/<pid>/status).
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray all = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype at = all.indexOf("SigCgt:");
    return at >= 0 && (all.mid(at + 7, 17).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    // Options work without a display. A signal (not 0) ends the panel as closing it does: it
    // writes its settings beside itself, so a copy runs (offscreen) in a folder of its own.
    void optionsAndSignals_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // start of standard output; stderr then stays empty
        // clang-format off
        QTest::newRow("panel --help") << "--help" << 0 << 0 << "Usage: torvika-panel [options]";
        QTest::newRow("panel --version, the window system's options passed on") << "-platform offscreen -style fusion --version" << 0 << 0 << "torvika-panel 0.";
        QTest::newRow("panel, unknown option") << "--colour" << 0 << 2 << "";
        QTest::newRow("panel, two arguments") << "a.tvkchars b.tvkchars" << 0 << 2 << "";
        QTest::newRow("SIGTERM, as at logout") << "" << int(SIGTERM) << 0 << "";
        QTest::newRow("a character set that cannot be read, then SIGTERM") << "gone.tvkchars" << int(SIGTERM) << 0 << "";
        // clang-format on
    }
    void optionsAndSignals() {
        QFETCH(QString, arguments);
        QFETCH(int, signal);
        QFETCH(int, status);
        QFETCH(QString, out);
        QTemporaryDir dir;
        QProcess process;
        if (signal) {
            QVERIFY(QFile::copy(TORVIKA_PANEL, dir.filePath("torvika-panel")));
            process.start(dir.filePath("torvika-panel"), arguments.split(u' ', Qt::SkipEmptyParts));
            QVERIFY(process.waitForStarted()); // exec'd: the handlers seen are the panel's
            QTRY_VERIFY_WITH_TIMEOUT(catches(process.processId(), signal), 10000);
            QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        } else {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
            env.insert("QT_QPA_PLATFORM", "xcb"); // cannot start
            process.setProcessEnvironment(env);
            process.start(TORVIKA_PANEL, arguments.split(u' '));
        }
        QVERIFY(process.waitForFinished(10000));
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(status == 0 ? stdOut.left(out.size()) == out && (signal || stdErr.isEmpty())
                             : stdOut.isEmpty() && stdErr.contains(QLatin1String("Usage:")),
                 qPrintable(stdOut + stdErr));
        QFile settings(dir.filePath("torvika.ini"));
        QVERIFY(!signal ||
                (settings.open(QIODevice::ReadOnly) && settings.readAll().contains("BL=155")));
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "tst_programs.moc"
