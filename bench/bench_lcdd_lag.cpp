// LCDd with the driver, timed from a client's widget_set to the module showing it: a client
// rewrites all 32 cells every frame (8 a second), and the far end of a pty takes the bytes no
// faster than a 9600 bit/s line carries them (960 a second) into the module's model. Prints one
// JSON object: the lag of every screen the module showed (ms), and how many were sent.
// Usage: bench_lcdd_lag DRIVER-DIR [SECONDS [LINE-BYTES-PER-SECOND]]: a slower line than the
// driver's 9600 bit/s shows whether the device's output queue alone keeps the lag bounded.
#include "module/displaymodel.h"
#include "protocol/framedecoder.h"
#include "support/lcddserver.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using torvika::test::LcdClient;
using torvika::test::LcddServer;

namespace {

constexpr int ClientFrameMs = 125;
// Letters and digits only: nothing LCDd's quoting would change.
const QByteArray Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Screen `seq`: every cell differs from screen seq - 1, and the screens repeat only after 62.
QByteArray screenRow(int seq, int row) {
    QByteArray text;
    for (int i = 0; i < 16; ++i)
        text += Alphabet.at((seq * 7 + (row * 16 + i) * 3) % Alphabet.size());
    return text;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2)
        qFatal("usage: bench_lcdd_lag DRIVER-DIR [SECONDS]");
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const qint64 lineBytesPerSecond = argc > 3 ? std::atoi(argv[3]) : 960;
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        qFatal("no pseudo-terminal");
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    QTemporaryDir dir;
    LcddServer server(dir.path(), QString::fromLocal8Bit(argv[1]),
                      QByteArray("Device=") + name + "\nSpeed=9600\n");
    LcdClient client;
    if (!client.connectTo(server.port))
        qFatal("LCDd did not start: %s", server.read().constData());
    for (const char *line : {"hello", "screen_add s", "screen_set s -priority foreground",
                             "widget_add s a string", "widget_add s b string"})
        client.command(line);

    torvika::protocol::FrameDecoder decoder;
    torvika::module::DisplayModel module;
    std::map<QByteArray, int> screens; // what the module shows for each recent screen
    std::map<int, qint64> sentNs;
    QJsonArray lagMs;
    int sent = 0, lastShown = -1;
    qint64 taken = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 nextClientNs = 0;
    while (clock.elapsed() < seconds * 1000) {
        if (clock.nsecsElapsed() >= nextClientNs) {
            const int seq = sent++;
            const QByteArray row0 = screenRow(seq, 0), row1 = screenRow(seq, 1);
            screens[row0 + row1] = seq;
            sentNs[seq] = clock.nsecsElapsed();
            client.send("widget_set s a 1 1 {" + row0 + "}");
            client.send("widget_set s b 1 2 {" + row1 + "}");
            client.socket.waitForBytesWritten(10);
            client.socket.readAll();
            nextClientNs += ClientFrameMs * 1000000LL;
        }
        // What the line has carried by now, and not a byte more.
        const qint64 allowed = clock.nsecsElapsed() * lineBytesPerSecond / 1000000000 - taken;
        char buffer[256];
        const ssize_t n = allowed > 0 ? ::read(master, buffer, std::min<qint64>(allowed, 256)) : 0;
        if (n > 0) {
            taken += n;
            for (const auto &frame : decoder.feed(QByteArrayView(buffer, n)))
                module.apply(frame);
            const auto shown = screens.find(module.row(0) + module.row(1));
            if (shown != screens.end() && shown->second > lastShown) {
                lastShown = shown->second;
                lagMs.append((clock.nsecsElapsed() - sentNs[lastShown]) / 1e6);
            }
        }
        usleep(1000);
    }
    const QJsonObject out{{QStringLiteral("lcdd_lag_ms"), lagMs},
                          {QStringLiteral("screens_sent"), sent},
                          {QStringLiteral("bytes_carried"), taken},
                          {QStringLiteral("seconds"), seconds}};
    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fputc('\n', stdout);
    ::close(slave);
    ::close(master);
    return 0;
}
