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

// Debian's LCDd in the foreground with a configuration of its own in `folder`: the driver from
// `driverPath` with `driverLines` in its section, a free loopback port, the current user,
// reports on its output. `preload`: libraries LCDd loads first (a sanitizer's runtime, which a
// driver built with it needs).
struct LcddServer {
    QProcess process;
    quint16 port = 0;
    QByteArray out;

    LcddServer(const QString &folder, const QString &driverPath, const QByteArray &driverLines,
               const QString &preload = {}) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
        probe.close();
        QFile conf(folder + "/LCDd.conf");
        conf.open(QIODevice::WriteOnly);
        conf.write("[server]\nDriverPath=" + QDir(driverPath).absolutePath().toLocal8Bit() +
                   "/\nDriver=torvika\nBind=127.0.0.1\nPort=" + QByteArray::number(port) +
                   "\nReportLevel=4\nReportToSyslog=no\nUser=" + getpwuid(getuid())->pw_name +
                   "\nServerScreen=no\nHeartbeat=off\nWaitTime=5\n[torvika]\n" + driverLines);
        conf.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!preload.isEmpty())
            env.insert("LD_PRELOAD", preload), env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
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

// A client speaking LCDd's line protocol; `lines` holds everything LCDd sent.
struct LcdClient {
    QTcpSocket socket;
    QByteArray lines;

    bool connectTo(quint16 port) {
        for (int tries = 0; tries < 50; ++tries, QThread::msleep(100)) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(500))
                return true;
            socket.abort();
        }
        return false;
    }
    void send(const QByteArray &line) {
        socket.write(line + '\n');
        socket.flush();
    }
    const QByteArray &read() {
        socket.waitForReadyRead(10);
        return lines += socket.readAll();
    }
    // Sends one command; returns LCDd's answer ("success", "huh? ...", "connect ...").
    QByteArray command(const QByteArray &line) {
        const qsizetype from = lines.size();
        send(line);
        QElapsedTimer t;
        for (t.start(); t.elapsed() < 3000;) {
            read();
            for (const QByteArray &answer : lines.mid(from).split('\n'))
                if (answer.startsWith("success") || answer.startsWith("huh?") ||
                    answer.startsWith("connect"))
                    return answer;
        }
        return {};
    }
};

} // namespace torvika::test
