// torvika-send timed from outside, as a script runs it: from the process's start until the
// last byte of `clear text "Hello"` is readable at a pty peer, beside the same bytes written by
// `sh -c 'printf ... > DEVICE'` in the same run. Prints one JSON object of raw samples (ms).
// Usage: bench_send TORVIKA-SEND [RUNS]
#include "support/ptypeer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

using torvika::test::PtyPeer;

namespace {

const QByteArray Expected = "\x0D"
                            "Hello";

// Milliseconds from spawning `argv` until the expected bytes are readable at the peer.
double timeToLine(PtyPeer &peer, const QList<QByteArray> &args) {
    std::vector<char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", argv[0]);
    const QByteArray got = peer.read(static_cast<int>(Expected.size()), 5000);
    const double ms = t.nsecsElapsed() / 1e6;
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != Expected || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("%s sent \"%s\" and ended with %d", argv[0], got.toHex(' ').constData(), status);
    return ms;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2)
        qFatal("usage: bench_send TORVIKA-SEND [RUNS]");
    const int runs = argc > 2 ? std::atoi(argv[2]) : 50;
    PtyPeer peer;
    if (peer.slavePath().isEmpty())
        qFatal("no pseudo-terminal");
    const QByteArray device = peer.slavePath().toLocal8Bit();
    const QList<QByteArray> send{argv[1], "--device", device, "--speed",
                                 "9600",  "clear",    "text", "Hello"};
    const QList<QByteArray> printf{"/bin/sh", "-c", "printf '\\r%s' Hello > " + device};

    QJsonArray sendMs, printfMs;
    timeToLine(peer, send); // the first start pays for loading the libraries from disk
    for (int i = 0; i < runs; ++i) {
        sendMs.append(timeToLine(peer, send));
        printfMs.append(timeToLine(peer, printf));
    }
    const QJsonObject out{{QStringLiteral("send_cli_ms"), sendMs},
                          {QStringLiteral("printf_ms"), printfMs}};
    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fputc('\n', stdout);
    return 0;
}
