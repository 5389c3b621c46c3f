// torvika-send timed from outside, as a script runs it: from the process's start until the
// last byte of `clear text "Hello"` is readable at a pty peer, beside the same bytes written by
// `sh -c 'printf ... > DEVICE'` in the same run; and 1,000 clock lines (`cursor 0 0 text
// 12:00:00`) through one `--stdin` process against 1,000 calls with the same words. Prints one
// JSON object of raw samples (ms).
// Usage: bench_send TORVIKA-SEND [RUNS] [LINE-RUNS]
#include "support/ptypeer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using torvika::test::PtyPeer;

namespace {

const QByteArray Expected = "\x0D"
                            "Hello";

// Starts `args` as a process, with `actions` applied to its file descriptors when given.
pid_t spawn(const QList<QByteArray> &args, const posix_spawn_file_actions_t *actions = nullptr) {
    std::vector<char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], actions, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", argv[0]);
    return pid;
}

// Milliseconds from spawning `args` until the expected bytes are readable at the peer.
double timeToLine(PtyPeer &peer, const QList<QByteArray> &args,
                  const QByteArray &expected = Expected) {
    QElapsedTimer t;
    t.start();
    const pid_t pid = spawn(args);
    const QByteArray got = peer.read(static_cast<int>(expected.size()), 5000);
    const double ms = t.nsecsElapsed() / 1e6;
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != expected || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("%s sent \"%s\" and ended with %d", args.front().constData(),
               got.toHex(' ').constData(), status);
    return ms;
}

const QByteArray ClockFrame = QByteArray::fromHex("FE320000") + "12:00:00";
constexpr int ClockLines = 1000;

// Milliseconds from spawning `send --stdin` until the frames of all the lines are at the peer.
double linesThroughStdin(PtyPeer &peer, const QByteArray &send, const QByteArray &device) {
    int input[2];
    if (pipe(input) != 0)
        qFatal("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    QElapsedTimer t;
    t.start();
    const pid_t pid = spawn({send, "--device", device, "--speed", "9600", "--stdin"}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    const QByteArray lines = QByteArray("cursor 0 0 text 12:00:00\n").repeated(ClockLines);
    if (::write(input[1], lines.constData(), size_t(lines.size())) != lines.size())
        qFatal("the lines did not fit into the pipe");
    ::close(input[1]);
    const QByteArray want = ClockFrame.repeated(ClockLines);
    const QByteArray got = peer.read(int(want.size()), 30000);
    const double ms = t.nsecsElapsed() / 1e6;
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != want || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("--stdin sent %lld of %lld bytes and ended with %d", qint64(got.size()),
               qint64(want.size()), status);
    return ms;
}

// The same lines as 1,000 calls, one after the other.
double linesAsCalls(PtyPeer &peer, const QByteArray &send, const QByteArray &device) {
    const QList<QByteArray> call{send,     "--device", device, "--speed", "9600",
                                 "cursor", "0",        "0",    "text",    "12:00:00"};
    double ms = 0;
    for (int i = 0; i < ClockLines; ++i)
        ms += timeToLine(peer, call, ClockFrame);
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
    QJsonArray stdinMs, callsMs;
    for (int i = 0, lineRuns = argc > 3 ? std::atoi(argv[3]) : 1; i < lineRuns; ++i) {
        stdinMs.append(linesThroughStdin(peer, argv[1], device));
        callsMs.append(linesAsCalls(peer, argv[1], device));
    }
    const QJsonObject out{{QStringLiteral("send_cli_ms"), sendMs},
                          {QStringLiteral("printf_ms"), printfMs},
                          {QStringLiteral("stdin_1000_lines_ms"), stdinMs},
                          {QStringLiteral("calls_1000_lines_ms"), callsMs}};
    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fputc('\n', stdout);
    return 0;
}
