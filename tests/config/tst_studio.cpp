// The character studio through the real dialog on a serial line: what strokes, undo, the
// transforms, paste, copy, recall and files leave in the grid, and what the grid then sends.
#include "settings/charsetfile.h"
#include "support/wiredpanel.h"

using namespace torvika;
using namespace torvika::test;

class TstStudio : public QObject {
    Q_OBJECT

private slots:
    // Steps separated by ';', the rows the grid then shows, the reason a message box gives.
    void gridChangesReachTheLine_data() {
        columns<QString, QByteArray, QString>({"steps", "rows", "refusal"});
        const char *const cases[][4] = {
            {"a drag lights every cell it meets", "drag 0:16 1:16 2:16 2:8", "1010180000000000"},
            {"a quick drag fills every cell it crossed", "drag 0:16 0:1", "1F00000000000000"},
            {"a quick drag down a column", "drag 1:8 6:8", "0008080808080800"},
            {"undo and redo greyed while there is nothing to take back or bring again",
             "enabled 00;cell 0:16;enabled 10;act actUndo;enabled 01;act actRedo;enabled 10",
             "1000000000000000"},
            {"a drag from a lit cell clears", "click cmdSetAll;drag 0:16 0:8 1:8",
             "07171F1F1F1F1F1F"},
            {"undo takes back a whole drag", "cell 7:1;drag 0:16 1:16 2:16;keys 0:16 Ctrl+Z",
             "0000000000000001"},
            {"undo takes back Set All, redo brings it again",
             "cell 0:1;click cmdSetAll;act actUndo;act actUndo;keys 0:1 Ctrl+Shift+Z",
             "0100000000000000"},
            {"Ctrl+Y redoes Clear All",
             "click cmdSetAll;click cmdClrAll;act actUndo;keys 2:2 Ctrl+Y", "0000000000000000"},
            {"shift right, then down, by the menu",
             "cell 0:16;cell 1:1;act actShiftRight;act actShiftDown", "0008000000000000"},
            {"shift left, up and mirror left-right",
             "cell 7:1;cell 6:16;act actShiftLeft;act actShiftUp;act actMirrorLeftRight",
             "0000000000000800"},
            {"shortcuts shift right, mirror top-bottom, invert",
             "cell 0:16;keys 0:16 Ctrl+Shift+Right;keys 0:16 Ctrl+Shift+M;keys 0:16 Ctrl+I",
             "1F1F1F1F1F1F1F17"},
            {"undo takes back one transform",
             "cell 3:16;act actInvert;act actMirrorLeftRight;act actUndo", "1F1F1F0F1F1F1F1F"},
            {"a pasted Arduino array is one step",
             "cell 0:1;clip byte c[8] = {B00000, B01010, B11111, B11111, B01110, B00100, "
             "B00000, B00000};;keys 5:4 Ctrl+V;act actUndo;act actRedo",
             "000A1F1F0E040000"},
            {"a refused paste changes nothing and records nothing",
             "cell 1:2;clip {0, 0x0A, 0x20, 0, 0, 0, 0, 0};act actPaste;act actUndo;act actRedo",
             "0002000000000000", "Value 3, 0x20, is over 0x1F: a row has five pixels."}};
        for (const auto &c : cases)
            QTest::addRow("%s", c[0]) << c[1] << QByteArray::fromHex(c[2]) << c[3];
    }
    void gridChangesReachTheLine() {
        const auto [steps, rows, refusal] =
            fetch<QString, QByteArray, QString>({"steps", "rows", "refusal"});
        Studio s;
        s.run(steps.split(u';', Qt::SkipEmptyParts));
        s.expectOnLine(rows);
        QCOMPARE(s.panel.boxes.shown.size(), refusal.isEmpty() ? 0 : 1);
        QCOMPARE(s.panel.boxes.shown.value(0).detail, refusal);
    }

    // A stored character is copied, shown on its button, kept in a file with the startup
    // screen, and recalled into the grid from there; a bad file is refused with its reason.
    void storedCharactersGoToFilesAndComeBack() {
        QTemporaryDir dir;
        const QString good = dir.filePath("good.tvkchars"), bad = dir.filePath("bad.tvkchars");
        Studio s;
        auto *row0 = s.dialog->controls().get<QLineEdit>("txtLine1");
        row0->setText(" Hello ");
        s.run({"cell 2:16", "keys 2:16 Ctrl+C", "click cmdSetUD(3)"});
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "{0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00}");
        const QString tip = s.dialog->controls().get<QPushButton>("cmdSetUD", 3)->toolTip();
        QVERIFY(tip.contains("0x10") && tip.contains(LitColour.name()));
        QVERIFY(s.cell("0:16")->actions().contains(s.dialog->findChild<QAction *>("actPaste")));
        const QString gridTip = s.cell("7:1")->toolTip();
        QVERIFY(gridTip.contains("drag") && gridTip.contains("Right-click") &&
                gridTip.contains("Ctrl+Z undo"));
        QVERIFY(s.dialog->saveCharacterSet(good) && s.dialog->exportCHeader(dir.filePath("c.h")));
        row0->clear();
        s.run({"click cmdClrAll", "click cmdSetUD(3)"});
        QVERIFY(s.dialog->openCharacterSet(good));
        QCOMPARE(row0->text(), " Hello ");
        QCOMPARE(charset::writeWhole(bad, "[Characters]\n0=1F 1F\n"), QString());
        QVERIFY(!s.dialog->openCharacterSet(bad));
        QCOMPARE(s.panel.boxes.shown.value(0).detail,
                 "bad.tvkchars: Line 2: character 0 has 2 values; it needs eight hex bytes, top "
                 "row first.");
        s.run({"act actEditChar3"});
        s.expectOnLine(QByteArray::fromHex("0000100000000000"));
    }
};

QTEST_MAIN(TstStudio)
#include "tst_studio.moc"
