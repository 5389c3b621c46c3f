// The traffic window over a wired panel: what the recorder sees, the log's rows, the copy
// formats, the display mirror and the line-speed warning.
#include "config/frmudchar.h"
#include "module/displaymodel.h"
#include "support/wiredpanel.h"
#include "trafficlog/trafficwindow.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTest>

#include <thread>

using namespace torvika;
using namespace torvika::test;
using namespace torvika::trafficlog;

namespace {

void clickIn(QWidget *window, const char *name) {
    QTest::mouseClick(window->findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

// Sent bytes in order, and the writers one after another.
QByteArray sentBytes(TrafficRecorder &r, QList<TrafficSource> *writers = nullptr) {
    QByteArray all;
    for (quint64 s = r.firstKept(); s != r.end(); ++s) {
        if (r.at(s).kind != TrafficEntry::Kind::Sent)
            continue;
        all += r.at(s).bytes;
        if (writers && (writers->isEmpty() || writers->last() != r.at(s).source))
            *writers << r.at(s).source;
    }
    return all;
}

// "direction|source|bytes|meaning" of every row but the port's own events.
QStringList byteRows(TrafficLogModel &m) {
    QStringList rows;
    for (int r = 0; r < m.rowCount(); ++r)
        if (m.cellText(r, 2) != "port")
            rows << QStringList{m.cellText(r, 2), m.cellText(r, 3), m.cellText(r, 4),
                                m.cellText(r, 5)}
                        .join(u'|');
    return rows;
}

} // namespace

class TestTrafficLog : public QObject {
    Q_OBJECT
private slots:
    void mixedSessionReachesRecorderInOrder() {
        WiredPanel p;
        p.click("cmdCurPos");
        p.window->mnuConfig()->trigger();
        clickIn(p.window->configDialog(), "cmdLoadUD");
        p.click("cmdSave"); // answered Yes
        QList<TrafficSource> writers;
        QCOMPARE(sentBytes(p.window->trafficRecorder(), &writers), p.peer.readAvailable(200));
        QCOMPARE(writers, (QList{TrafficSource::MainWindow, TrafficSource::Dialog,
                                 TrafficSource::MainWindow}));
    }

    void inputReadLogsWhatThePanelTook_data() {
        QTest::addColumn<QByteArray>("answer");  // to the first read
        QTest::addColumn<QByteArray>("stray");   // after it; none: no second read
        QTest::addColumn<QByteArray>("answer2"); // to the second read
        QTest::addColumn<QStringList>("rows");
        const QString read = "out|main window|FE 0A|read inputs",
                      in = "in|module|%1|came in, waiting for a read",
                      took = "in|main window|05|taken as the answer: inputs: 1 HIGH, 2 LOW, 3 HIGH",
                      threw = "in|main window|02|thrown away: a read takes only the first byte";
        QTest::newRow("answer in time taken") << QByteArray("\x05") << QByteArray() << QByteArray()
                                              << QStringList{read, in.arg("05"), took};
        QTest::newRow("late answer: no answer row, then taken by the next read before its own")
            << QByteArray() << QByteArray("\x05") << QByteArray("\x02")
            << QStringList{read,         "in|main window||no answer within 100 ms",
                           in.arg("05"), read,
                           in.arg("02"), took,
                           threw};
    }
    void inputReadLogsWhatThePanelTook() {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, stray);
        QFETCH(QByteArray, answer2);
        WiredPanel p;
        TrafficRecorder &r = p.window->trafficRecorder();
        const auto readInput = [&](const QByteArray &reply) {
            std::thread peer([&] {
                if (p.peer.read(2).size() == 2 && !reply.isEmpty())
                    p.peer.write(reply);
            });
            p.click("cmdReadInput");
            peer.join();
        };
        readInput(answer);
        QCOMPARE(p.boxes.texts(),
                 answer.isEmpty() ? QStringList{"No Response From LCD"} : QStringList{});
        if (!stray.isEmpty()) {
            p.peer.write(stray);
            QTRY_COMPARE(r.at(r.end() - 1).kind, TrafficEntry::Kind::Received);
            readInput(answer2);
        }
        QCOMPARE(p.get<QLabel>("lblInput", 1)->text(), QStringLiteral("LOW"));
        QCOMPARE(p.get<QLabel>("lblInput", 2)->text(), QStringLiteral("HIGH"));
        p.window->mnuTrafficLog()->trigger();
        QTEST(byteRows(p.window->trafficWindow()->model()), "rows");
    }

    void logRowsOfASessionBeforeTheWindowOpened() {
        WiredPanel p;
        p.choose("cboRow", "1");
        p.choose("cboColumn", "15");
        p.click("cmdCurPos");
        std::thread peer([&] {
            if (p.peer.read(6).size() == 6)
                p.peer.write("\x05\x07");
        });
        p.click("cmdReadInput");
        peer.join();
        QTest::keyClicks(p.get<QWidget>("txtASCIIInput"), "Hi");
        p.window->mnuTrafficLog()->trigger();
        TrafficWindow *w = p.window->trafficWindow();
        TrafficLogModel &m = w->model();
        QCOMPARE(byteRows(m), (QStringList{
                                  "out|main window|FE 32 01 0F|cursor to row 1, column 15",
                                  "out|main window|FE 0A|read inputs",
                                  "in|module|05 07|came in, waiting for a read",
                                  "in|main window|05|taken as the answer: inputs: 1 HIGH, 2 "
                                  "LOW, 3 HIGH",
                                  "in|main window|07|thrown away: a read takes only the first "
                                  "byte",
                                  "out|main window|48 69|text \"Hi\"",
                              }));
        QVERIFY(
            m.cellText(2, 5).startsWith(QStringLiteral("opened port 1 (") + p.peer.slavePath()));
        QVERIFY(m.cellText(3, 1).startsWith(u'+'));
        // What a screen reader is given for a cell.
        QAccessibleTableInterface *cells =
            QAccessible::queryAccessibleInterface(w->table())->tableInterface();
        QCOMPARE(cells->cellAt(3, 4)->text(QAccessible::Name), QStringLiteral("FE 32 01 0F"));
        w->table()->selectRow(3);
        QCOMPARE(w->copySelection(CopyFormat::CArray),
                 QStringLiteral("const uint8_t frame[] = {0xFE, 0x32, 0x01, 0x0F};"));
    }

    void copyFormats_data() {
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<CopyFormat>("format");
        QTest::addColumn<QString>("text");
        const QList<QByteArray> cursor{QByteArray("\xFE\x32\x01\x0F")};
        QTest::newRow("hex") << cursor << CopyFormat::Hex << "FE 32 01 0F";
        QTest::newRow("C array") << cursor << CopyFormat::CArray
                                 << "const uint8_t frame[] = {0xFE, 0x32, 0x01, 0x0F};";
        QTest::newRow("Python bytes")
            << cursor << CopyFormat::Python << "b\"\\xfe\\x32\\x01\\x0f\"";
        QTest::newRow("several C arrays get numbered names")
            << QList<QByteArray>{"\x0D", "\xFE\x06"} << CopyFormat::CArray
            << "const uint8_t frame1[] = {0x0D};\nconst uint8_t frame2[] = {0xFE, 0x06};";
    }
    void copyFormats() {
        QFETCH(QList<QByteArray>, frames);
        QFETCH(CopyFormat, format);
        QTEST(formatFrames(frames, format), "text");
    }

    void mirrorEqualsTheModuleAfterTheSameBytes() {
        WiredPanel p;
        p.choose("cboRow", "1");
        p.choose("cboColumn", "3");
        for (const char *button : {"cmdCurPos", "cmdCursor", "cmdOut"})
            p.click(button);
        p.click("cmdBL", 1);
        p.get<QSlider>("Backlightlevel")->setValue(200);
        QTest::keyClicks(p.get<QWidget>("txtASCIIInput"), "Ok");
        p.window->mnuConfig()->trigger();
        const layout::Controls &dialog = p.window->configDialog()->controls();
        for (QPushButton *b :
             {dialog.get<QPushButton>("cmdSetAll"), dialog.get<QPushButton>("cmdSetUD", 0),
              dialog.get<QPushButton>("cmdLoadUD")})
            QTest::mouseClick(b, Qt::LeftButton);
        p.click("cmdCustom", 0);

        protocol::FrameDecoder decoder;
        module::DisplayModel module;
        for (const auto &frame : decoder.feed(p.peer.readAvailable(200)))
            module.apply(frame);
        p.window->displayMirror().catchUp();
        QCOMPARE(p.window->displayMirror().model().toJson(), module.toJson());
    }

    void speedWarningComesAndGoes_data() {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QString>("red"); // 4.5:1 at least, as a contrast checker measures
        QTest::addColumn<bool>("scrolledBack");
        QTest::newRow("light window: dark red; the table follows the newest row past the line")
            << QColor(239, 239, 239) << "#b00000" << false;
        QTest::newRow("dark window: light red; scrolled back, the table stays")
            << QColor(53, 53, 53) << "#ff6f6f" << true;
    }
    void speedWarningComesAndGoes() {
        QFETCH(QColor, background);
        QFETCH(bool, scrolledBack);
        WiredPanel p;
        p.window->mnuTrafficLog()->trigger();
        TrafficWindow *w = p.window->trafficWindow();
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, background);
        w->setPalette(palette);
        QScrollBar *bar = w->table()->verticalScrollBar();
        for (int i = 0; i < 60; ++i)
            p.window->trafficRecorder().record(TrafficEntry::Kind::Sent, TrafficSource::MainWindow,
                                               "\x0D");
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
        bar->setValue(scrolledBack ? 0 : bar->value());
        auto *warning = w->findChild<QLabel *>("lblSpeedTrap");
        clickIn(p.dialog(), "cmd19200");
        QTRY_VERIFY(warning->isVisibleTo(w));
        QCOMPARE(warning->text(), "The module was told to use 19200 bit/s; the panel sends at "
                                  "9600 bit/s: choose 19200 bps in Comm Port Settings");
        QTEST(warning->palette().color(QPalette::WindowText).name(), "red");
        p.click("cmdLCD", 2);
        QTest::qWait(50);
        QCOMPARE(bar->value(), scrolledBack ? 0 : bar->maximum());
        QTest::mouseClick(p.get<QRadioButton>("opt19200"), Qt::LeftButton);
        p.click("cmdLCD", 2);
        QTRY_VERIFY(!warning->isVisibleTo(w));
        const QStringList rows = byteRows(w->model());
        const QString mark = QStringLiteral("[sent while the module listens at another speed]");
        QVERIFY(!rows.at(rows.size() - 4).contains(mark)); // FE 1F itself went at the right speed
        QVERIFY(rows.at(rows.size() - 3).contains(mark));  // "BR Set : 19200"
        QVERIFY(rows.at(rows.size() - 2).contains(mark));  // clear screen at 9600
        QVERIFY(!rows.last().contains(mark));              // clear screen at 19200
        // A gap of a minute and more reads in seconds, within its column.
        QCOMPARE(gapText(61'500'000'000), "+61.500 s");
        QVERIFY(w->fontMetrics().horizontalAdvance(gapText(999'999'000'000)) + 6 <=
                w->table()->columnWidth(1));
    }

    void oneWindowBesideConfigClosedWithTheMainWindow() {
        WiredPanel p;
        QCOMPARE(p.window->menuBar()->actions(),
                 (QList{p.window->mnuConfig(), p.window->mnuTrafficLog()}));
        QCOMPARE(p.window->mnuTrafficLog()->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
        QVERIFY(!p.window->trafficWindow()); // nothing built at start
        p.window->mnuTrafficLog()->trigger();
        TrafficWindow *first = p.window->trafficWindow();
        first->close();
        p.window->mnuTrafficLog()->trigger();
        QCOMPARE(p.window->trafficWindow(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("Traffic Log"));
        p.window->close();
        QVERIFY(!first->isVisible());
    }

    void pauseClearAndSave() {
        WiredPanel p;
        p.window->mnuTrafficLog()->trigger();
        TrafficWindow *w = p.window->trafficWindow();
        TrafficLogModel &m = w->model();
        clickIn(w, "cmdPause");
        p.click("cmdLCD", 2);
        QTest::qWait(20);
        QCOMPARE(m.rowCount(), 2); // port number and line settings from start
        QSignalSpy resets(&m, &QAbstractItemModel::modelReset),
            inserts(&m, &QAbstractItemModel::rowsInserted);
        clickIn(w, "cmdClear"); // what came meanwhile goes too
        p.click("cmdLCD", 2);
        clickIn(w, "cmdPause");
        QCOMPARE(byteRows(m), QStringList{"out|main window|0D|clear screen"});
        QCOMPARE(m.rowCount(), 1);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(inserts.count(), 1);
        QTemporaryDir dir;
        QVERIFY(w->saveTo(dir.filePath("log.txt")));
        QFile saved(dir.filePath("log.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().count('\n'), m.rowCount() + 1);
        QVERIFY(!w->saveTo(dir.path()));
        QVERIFY(p.boxes.texts().last().startsWith("The log could not be saved to " + dir.path()));
        clickIn(w, "cmdClear");
        QCOMPARE(m.rowCount(), 0);
    }
    void droppedEntriesToldInTheFirstRow_data() {
        QTest::addColumn<int>("before"); // entries recorded before the log opens
        QTest::addColumn<int>("pass");   // then twice, each taken in at once
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("inserts"); // the rows, the notice above them
        QTest::addColumn<int>("removes");
        QTest::newRow("window opened after the flood") << 10005 << 0 << false << 0 << 0;
        QTest::newRow("paused through the flood, then resumed") << 1 << 5002 << true << 2 << 1;
        QTest::newRow("open through the flood") << 5 << 5000 << false << 3 << 1;
    }
    void droppedEntriesToldInTheFirstRow() {
        QFETCH(int, before);
        QFETCH(int, pass);
        QFETCH(bool, paused);
        TrafficRecorder recorder;
        DisplayMirror mirror(recorder);
        const auto flood = [&](int n) {
            for (int i = 0; i < n; ++i)
                recorder.record(TrafficEntry::Kind::Sent, TrafficSource::MainWindow, "\x0D");
        };
        flood(before);
        TrafficLogModel m(recorder, mirror);
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserts(&m, &QAbstractItemModel::rowsInserted),
            removes(&m, &QAbstractItemModel::rowsRemoved);
        m.setPaused(paused);
        for (int i = 0; i < 2; ++i, m.catchUp())
            flood(pass);
        m.setPaused(false);
        QCOMPARE(m.rowCount(), 10001);
        QCOMPARE(m.cellText(0, 5), "5 older entries were dropped; the log keeps the latest 10000 "
                                   "rows");
        QTEST(int(inserts.count()), "inserts");
        QTEST(int(removes.count()), "removes");
        m.clear();
        QCOMPARE(m.rowCount(), 0); // a Clear starts the count afresh
    }

    void sentFramesReadWhole_data() {
        QTest::addColumn<QByteArrayList>("writes"); // timed 0.6 s apart
        QTest::addColumn<QString>("meaning");
        QTest::newRow("a row that is not there is named as the problem")
            << QByteArrayList{"\xFE\x32\xFE\x0A"}
            << "cursor to row 254, column 10 [254 is outside 0 to 1]";
        QTest::newRow("a bar of one reads 1 column")
            << QByteArrayList{"\xFE\x2B\x01"} << "bar graph left to right, 1 column";
        QTest::newRow("66-byte frame: tooltip and copied row whole")
            << QByteArrayList{"\xFE\x64" + QByteArray(64, '\x1F')}
            << "define the 8 user characters";
        QTest::newRow("text typed for 1.2 s, never a second's gap, is one row")
            << QByteArrayList{"a", "b", "c"} << "text \"abc\"";
    }
    void sentFramesReadWhole() {
        QFETCH(QByteArrayList, writes);
        TrafficRecorder recorder;
        DisplayMirror mirror(recorder);
        recorder.record(TrafficEntry::Kind::PortNumber, TrafficSource::Port, {}, "1 (/dev/x)");
        for (const QByteArray &w : writes) {
            recorder.record(TrafficEntry::Kind::Sent, TrafficSource::MainWindow, w);
            const_cast<TrafficEntry &>(recorder.at(recorder.end() - 1)).timeNs =
                600'000'000 * qint64(recorder.end());
        }
        TrafficLogModel m(recorder, mirror);
        QTEST(m.cellText(1, 5), "meaning");
        const QString hex = QString::fromLatin1(writes.join().toHex(' ').toUpper());
        QCOMPARE(m.data(m.index(1, 4), Qt::ToolTipRole), "<qt>" + hex + "</qt>");
        // A frame with a port event: the event copies as text only.
        QCOMPARE(m.copyRows({0, 1}, CopyFormat::Hex), hex);
        const QStringList copied = m.copyRows({0, 1}, CopyFormat::Text).split(u'\n');
        QVERIFY(copied.value(0).endsWith("\tport\tport\t\tport number 1 (/dev/x)"));
        QVERIFY(copied.value(1).endsWith("\tout\tmain window\t" + hex + '\t' + m.cellText(1, 5)));
    }
};

QTEST_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
