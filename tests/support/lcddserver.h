#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace torvika::test {

// Debian's LCDd in the foreground with a configuration of its own in `folder`: the built
// driver from `driverPath`, a free loopback port, the current user, reports on its output.
// `driverLines` go into the driver's section.
struct LcddServer {
    QProcess process;
    quint16 port = 0;
    QByteArray out;

    // `preload`: libraries LCDd loads first (a sanitizer's runtime, which a driver built with
    // it needs).
    LcddServer(const QString &folder, const QString &driverPath, const QByteArray &driverLines,
               const QString &preload = {}) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
        probe.close();
        const passwd *pw = getpwuid(getuid());
        QFile conf(folder + "/LCDd.conf");
        conf.open(QIODevice::WriteOnly);
        conf.write("[server]\nDriverPath=" + QDir(driverPath).absolutePath().toLocal8Bit() +
                   "/\nDriver=torvika\nBind=127.0.0.1\nPort=" + QByteArray::number(port) +
                   "\nReportLevel=4\nReportToSyslog=no\nUser=" + QByteArray(pw ? pw->pw_name : "") +
                   "\nServerScreen=no\nHeartbeat=off\nWaitTime=5\n[torvika]\n" + driverLines);
        conf.close();
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (!preload.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LD_PRELOAD", preload);
            env.insert("ASAN_OPTIONS", "detect_leaks=0"); // LCDd's own, not the driver's
            process.setProcessEnvironment(env);
        }
        process.start(program(), {"-c", conf.fileName(), "-f"});
    }
    ~LcddServer() {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
    static QString program() {
        return QStandardPaths::findExecutable("LCDd", {"/usr/sbin", "/usr/local/sbin"});
    }
    const QByteArray &read() { return out += process.readAll(); }
};

// A client speaking LCDd's line protocol.
struct LcdClient {
    QTcpSocket socket;
    QByteArray lines; // everything LCDd sent

    bool connectTo(quint16 port, int timeoutMs = 10000) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(500))
                return true;
            socket.abort();
            QThread::msleep(100);
        }
        return false;
    }
    // Sends one command; returns LCDd's answer line ("success", "huh? ...", "connect ...").
    QByteArray command(const QByteArray &line, int timeoutMs = 3000) {
        const qsizetype from = lines.size();
        socket.write(line + '\n');
        socket.flush();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            socket.waitForReadyRead(50);
            lines += socket.readAll();
            for (const QByteArray &answer : lines.mid(from).split('\n'))
                if (answer.startsWith("success") || answer.startsWith("huh?") ||
                    answer.startsWith("connect"))
                    return answer;
        }
        return {};
    }
    void send(const QByteArray &line) {
        socket.write(line + '\n');
        socket.flush();
    }
    const QByteArray &read() {
        socket.waitForReadyRead(10);
        return lines += socket.readAll();
    }
};

} // namespace torvika::test
