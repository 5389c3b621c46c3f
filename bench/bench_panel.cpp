// What the operator feels, measured through the real windows, the real QSerialPort and a real
// pty: click or key to bytes on the line, the input wait, a flooding peer, the settings file.
// Prints one JSON object of raw samples; run_bench.py turns them into figures and verdicts.
#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "support/wiredpanel.h"
#include "trafficlog/trafficwindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <thread>

using namespace torvika;
using namespace torvika::test;

namespace {

// The process's resident memory in kB, or -1 where the system does not tell.
long residentMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) {
            bool ok = false;
            const long kb = line.mid(6).trimmed().split(' ').value(0).toLong(&ok);
            return ok ? kb : -1;
        }
    return -1;
}

// Floods the panel from a thread of its own: writes as fast as the line takes bytes, until
// stopped or `limit` bytes are in. The peer is not to be used meanwhile.
class PtyFlood {
public:
    PtyFlood(PtyPeer &peer, qint64 limit)
        : writer_([this, &peer, limit] {
              const QByteArray chunk(64 * 1024, 'x');
              while (!stop_ && sent_ < limit)
                  sent_ += peer.writeSome(chunk, 20);
          }) {}
    ~PtyFlood() { stop(); }
    // Ends the flood; returns how many bytes the line accepted.
    qint64 stop() {
        stop_ = true;
        if (writer_.joinable())
            writer_.join();
        return sent_;
    }

private:
    std::atomic<bool> stop_ = false;
    std::atomic<qint64> sent_ = 0;
    std::thread writer_;
};

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// "Clear Screen" opens the port, so that no measurement pays for opening it.
void openPort(WiredPanel &w) {
    if (!w.click("cmdLCD", 2) || w.peer.read(1).size() != 1)
        qFatal("the port did not open");
}

// Microseconds from the click until `count` bytes are readable at the peer.
QJsonArray clickToLine(PtyPeer &peer, QWidget *target, int count, int runs) {
    QJsonArray samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(target, Qt::LeftButton);
        const QByteArray got = peer.read(count, 2000);
        const double us = t.nsecsElapsed() / 1e3;
        if (got.size() != count)
            qFatal("only %d of %d bytes arrived", int(got.size()), count);
        samples.append(us);
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    }
    return samples;
}

QJsonArray keyToLine(PtyPeer &peer, QLineEdit *field, int runs) {
    QJsonArray samples;
    for (int i = 0; i < runs; ++i) {
        field->clear();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(field, 'A');
        const QByteArray got = peer.read(1, 2000);
        samples.append(t.nsecsElapsed() / 1e3);
        if (got != "A")
            qFatal("key sent %s", got.toHex().constData());
    }
    return samples;
}

struct ReadInputFigures {
    QJsonArray waitMs, uiEvents, cpuMs;
};

// "Read Input" with the peer answering at once; a 10 ms timer stands for the rest of the
// user interface that must stay live during the wait.
ReadInputFigures readInput(WiredPanel &w, int runs) {
    ReadInputFigures f;
    QTimer other;
    int ticks = 0;
    QObject::connect(&other, &QTimer::timeout, [&ticks] { ++ticks; });
    other.start(10);
    auto *button = w.get<QPushButton>("cmdReadInput");
    auto *label = w.get<QLabel>("lblInput", 0);
    for (int i = 0; i < runs; ++i) {
        const char reply = i % 2 ? '\x02' : '\x05'; // Input 1 alternates, so the label changes
        const QString before = label->text();
        std::thread peer([&w, reply] {
            if (w.peer.read(2, 2000).size() == 2)
                w.peer.write(QByteArray(1, reply));
        });
        ticks = 0;
        const double cpu0 = cpuMs();
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(button, Qt::LeftButton);
        const double ms = t.nsecsElapsed() / 1e6;
        const double cpu = cpuMs() - cpu0;
        const int events = ticks;
        peer.join();
        if (label->text() == before)
            qFatal("the input labels did not change");
        f.waitMs.append(ms);
        f.uiEvents.append(events);
        f.cpuMs.append(cpu);
    }
    return f;
}

// The peer tries to write 50 MB while the panel idles for 10 s; how much the panel grows,
// and how much of it the line took.
QJsonObject flood(WiredPanel &w) {
    openPort(w);
    const long before = residentMemoryKb();
    PtyFlood flood(w.peer, 50LL * 1024 * 1024);
    QTest::qWait(10000);
    const qint64 sent = flood.stop();
    const long after = residentMemoryKb();
    return {{QStringLiteral("growth_kb"), double(after - before)},
            {QStringLiteral("accepted_bytes"), double(sent)}};
}

trafficlog::TrafficWindow *openTrafficLog(WiredPanel &w) {
    w.window->mnuTrafficLog()->trigger();
    QCoreApplication::processEvents();
    return w.window->trafficWindow();
}

// Nanoseconds per recorder entry, from batches of 1000 four-byte entries, the mirror and the
// open log connected as in the panel; they take the entries in between batches, untimed.
QJsonArray recorderAppend(WiredPanel &w, int batches) {
    TrafficRecorder &recorder = w.window->trafficRecorder();
    const QByteArray frame("\xFE\x32\x01\x0F");
    QJsonArray samples;
    for (int b = 0; b < batches; ++b) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 1000; ++i)
            recorder.record(TrafficEntry::Kind::Sent, TrafficSource::MainWindow, frame);
        samples.append(t.nsecsElapsed() / 1000.0);
        QCoreApplication::processEvents();
    }
    return samples;
}

struct LogFigures {
    double rowsKb = 0;
    QJsonArray scrollMs, copyMs;
};

// A full log: its memory beyond the empty window, scrolling from the newest row to the
// oldest and back with the table repainted, and copying every row as hex.
LogFigures fullLog(int runs) {
    LogFigures f;
    WiredPanel w;
    trafficlog::TrafficWindow *log = openTrafficLog(w);
    QTableView *table = log->table();
    log->model().clear();
    table->viewport()->repaint();
    malloc_trim(0);
    const long before = residentMemoryKb();
    TrafficRecorder &recorder = w.window->trafficRecorder();
    // Frames of several kinds, none of them text, so each is a row of its own.
    const QByteArray frames[] = {"\xFE\x32\x01\x0F", "\x0D", "\xFE\x28\x9B", "\xFE\x06"};
    for (int i = 0; i < TrafficRecorder::Capacity; ++i)
        recorder.record(TrafficEntry::Kind::Sent, TrafficSource::MainWindow, frames[i % 4]);
    QCoreApplication::processEvents();
    table->viewport()->repaint();
    malloc_trim(0);
    f.rowsKb = double(residentMemoryKb() - before);
    if (log->model().rowCount() < TrafficRecorder::Capacity)
        qFatal("the log holds %d rows", log->model().rowCount());
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        table->scrollToTop();
        table->viewport()->repaint();
        table->scrollToBottom();
        table->viewport()->repaint();
        f.scrollMs.append(t.nsecsElapsed() / 1e6);
        table->selectAll();
        t.restart();
        const QString copied = log->copySelection(trafficlog::CopyFormat::Hex);
        f.copyMs.append(t.nsecsElapsed() / 1e6);
        if (copied.count(u'\n') + 1 < TrafficRecorder::Capacity)
            qFatal("copied only part of the log");
        table->clearSelection();
    }
    return f;
}

QJsonArray settingsRoundtrip(int runs) {
    QTemporaryDir dir;
    ModIni ini(dir.path());
    QFile f(ini.fileName());
    f.open(QIODevice::WriteOnly);
    f.write("[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n[LCD]\r\nBL=155\r\n[Notes]\r\n");
    for (int i = 0; f.size() < 1024 * 1024; ++i)
        f.write(QStringLiteral("note%1=%2\r\n").arg(i).arg(QString(60, u'n')).toLatin1());
    f.close();
    QJsonArray samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const QString port = ini.ReadINI(QStringLiteral("Settings"), QStringLiteral("CommPort"));
        const QString setting = ini.ReadINI(QStringLiteral("Settings"), QStringLiteral("Setting"));
        const QString bl = ini.ReadINI(QStringLiteral("LCD"), QStringLiteral("BL"));
        // Changed values, so every write really rewrites the file.
        const bool ok =
            ini.WriteINI(QStringLiteral("Settings"), QStringLiteral("CommPort"),
                         QString::number(1 + i % 2)) &&
            ini.WriteINI(QStringLiteral("Settings"), QStringLiteral("Setting"),
                         i % 2 ? QStringLiteral("19200,n,8,1") : QStringLiteral("9600,n,8,1")) &&
            ini.WriteINI(QStringLiteral("LCD"), QStringLiteral("BL"), QString::number(100 + i % 2));
        samples.append(t.nsecsElapsed() / 1e6);
        if (!ok || port.isEmpty() || setting.isEmpty() || bl.isEmpty())
            qFatal("settings round trip failed");
    }
    return samples;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    const int clicks = argc > 1 ? std::atoi(argv[1]) : 1000;

    QJsonObject out;
    {
        // Two panels, the traffic window never opened in the first and open in the second;
        // their clicks alternate in blocks, so both see the same load of the machine.
        WiredPanel w, withLog;
        openPort(w);
        openPort(withLog);
        openTrafficLog(withLog);
        const auto alternate = [&](const char *key, auto target) {
            QJsonArray closed, open;
            for (int done = 0; done < clicks; done += 100) {
                const int n = qMin(100, clicks - done);
                for (const QJsonValue v : target(w, n))
                    closed.append(v);
                for (const QJsonValue v : target(withLog, n))
                    open.append(v);
            }
            out.insert(QLatin1String(key), closed);
            out.insert(QLatin1String(key) + QLatin1String("_log_open"), open);
        };
        alternate("click_to_line_1byte_us", [](WiredPanel &p, int n) {
            return clickToLine(p.peer, p.get<QPushButton>("cmdLCD", 2), 1, n);
        });
        alternate("click_to_line_4byte_us", [](WiredPanel &p, int n) {
            return clickToLine(p.peer, p.get<QPushButton>("cmdCurPos"), 4, n);
        });
        out.insert(QStringLiteral("key_to_line_us"),
                   keyToLine(w.peer, w.get<QLineEdit>("txtASCIIInput"), clicks));
        for (WiredPanel *p : {&w, &withLog})
            p->window->mnuConfig()->trigger();
        alternate("click_to_line_66byte_us", [](WiredPanel &p, int n) {
            return clickToLine(
                p.peer, p.window->configDialog()->controls().get<QPushButton>("cmdLoadUD"), 66, n);
        });
        for (WiredPanel *p : {&w, &withLog})
            p->window->configDialog()->close();
        const ReadInputFigures r = readInput(w, 30);
        out.insert(QStringLiteral("read_input_wait_ms"), r.waitMs);
        out.insert(QStringLiteral("read_input_ui_events"), r.uiEvents);
        out.insert(QStringLiteral("read_input_cpu_ms"), r.cpuMs);
        out.insert(QStringLiteral("recorder_append_ns"), recorderAppend(withLog, 200));
    }
    {
        const LogFigures f = fullLog(20);
        out.insert(QStringLiteral("log_10000_rows_kb"), f.rowsKb);
        out.insert(QStringLiteral("log_scroll_10000_rows_ms"), f.scrollMs);
        out.insert(QStringLiteral("log_copy_10000_rows_ms"), f.copyMs);
    }
    {
        WiredPanel w;
        out.insert(QStringLiteral("flood_rss_growth_kb"), flood(w));
    }
    out.insert(QStringLiteral("settings_roundtrip_ms"), settingsRoundtrip(50));

    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fputc('\n', stdout);
    return 0;
}
