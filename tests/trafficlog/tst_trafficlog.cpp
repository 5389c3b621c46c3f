// The traffic window over a wired panel: what the recorder sees, the log's rows, the copy
// formats, the display mirror and the line-speed warning.
#include "config/frmudchar.h"
#include "module/displaymodel.h"
#include "support/wiredpanel.h"
#include "trafficlog/trafficwindow.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
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

// "direction|source|bytes|meaning" of every row that carries bytes.
QStringList byteRows(TrafficLogModel &m) {
    QStringList rows;
    for (int r = 0; r < m.rowCount(); ++r)
        if (!m.rowBytes(r).isEmpty())
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

    void inputReadDecodesWhatWasObserved_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("late");
        QTest::newRow("in time") << QByteArray("\x05") << false;
        QTest::newRow("late, decoded by the next read") << QByteArray("\x05") << true;
        QTest::newRow("twice, the first decoded") << QByteArray("\x05\x02") << false;
    }
    void inputReadDecodesWhatWasObserved() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, late);
        WiredPanel p;
        std::thread peer([&] {
            if (p.peer.read(2).size() == 2 && !late)
                p.peer.write(reply);
        });
        p.click("cmdReadInput");
        peer.join();
        if (late) {
            QCOMPARE(p.boxes.texts(), QStringList{"No Response From LCD"});
            p.peer.write(reply);
            QTRY_VERIFY(
                p.window->trafficRecorder().at(p.window->trafficRecorder().end() - 1).kind ==
                TrafficEntry::Kind::Received);
            p.click("cmdReadInput");
        }
        QCOMPARE(p.get<QLabel>("lblInput", 1)->text(), QStringLiteral("LOW"));
        QCOMPARE(p.get<QLabel>("lblInput", 2)->text(), QStringLiteral("HIGH"));
        QByteArray observed;
        TrafficRecorder &r = p.window->trafficRecorder();
        for (quint64 s = 0; s != r.end(); ++s)
            if (r.at(s).kind == TrafficEntry::Kind::Received)
                observed += r.at(s).bytes;
        QCOMPARE(observed, reply);
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
                                  "in|module|05|inputs: 1 HIGH, 2 LOW, 3 HIGH",
                                  "in|module|07|not asked for by any query",
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

    void speedWarningComesAndGoes() {
        WiredPanel p;
        p.window->mnuTrafficLog()->trigger();
        auto *warning = p.window->trafficWindow()->findChild<QLabel *>("lblSpeedTrap");
        p.window->mnuConfig()->trigger();
        clickIn(p.window->configDialog(), "cmd19200");
        QTRY_VERIFY(warning->isVisibleTo(p.window->trafficWindow()));
        QCOMPARE(warning->text(), "The module was told to use 19200 bit/s; the panel sends at "
                                  "9600 bit/s: choose 19200 bps in Comm Port Settings");
        QTest::mouseClick(p.get<QRadioButton>("opt19200"), Qt::LeftButton);
        p.click("cmdLCD", 2);
        QTRY_VERIFY(!warning->isVisibleTo(p.window->trafficWindow()));
        const QStringList rows = byteRows(p.window->trafficWindow()->model());
        const QString mark = QStringLiteral("[sent while the module listens at another speed]");
        QVERIFY(!rows.at(rows.size() - 3).contains(mark)); // FE 1F itself went at the right speed
        QVERIFY(rows.at(rows.size() - 2).contains(mark));  // "BR Set : 19200"
        QVERIFY(!rows.last().contains(mark));              // clear screen at 19200
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
        clickIn(w, "cmdPause");
        QCOMPARE(byteRows(m), QStringList{"out|main window|0D|clear screen"});
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
};

QTEST_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
