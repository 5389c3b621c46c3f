// The character studio through the real dialog on a serial line: what strokes, undo, the
// transforms, paste, recall and files leave in the grid, and what the grid then sends.
#include "config/frmudchar.h"
#include "platform/pixelcell.h"
#include "support/wiredpanel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

const char *const CellRows[] = {"UDC1",  "UDC1A", "UDC1B", "UDC1C",
                                "UDC1D", "UDC1E", "UDC1F", "UDC1G"};

// The panel on a pty with its dialog open and active.
struct Studio {
    WiredPanel panel;
    FrmUDChar *dialog = nullptr;

    Studio() {
        panel.window->mnuConfig()->trigger();
        dialog = panel.window->configDialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
    }
    PixelCell *cell(const QString &rowAndWeight) const {
        const int row = rowAndWeight.section(u':', 0, 0).toInt();
        return dialog->controls().get<PixelCell>(CellRows[row],
                                                 rowAndWeight.section(u':', 1).toInt());
    }
    QAction *action(const QString &name) const { return dialog->findChild<QAction *>(name); }

    // Steps: "cell 0:16" clicks a cell (row:weight), "drag 0:16 1:16 ..." presses on the first
    // cell and moves over the others, "click cmdSetAll", "act actUndo", "keys 0:16 Ctrl+Z"
    // types on a focused cell, "clip <text>" puts text on the clipboard.
    void run(const QStringList &steps) {
        for (const QString &step : steps) {
            const QString verb = step.section(u' ', 0, 0), rest = step.section(u' ', 1);
            if (verb == u"cell") {
                QTest::mouseClick(cell(rest), Qt::LeftButton);
            } else if (verb == u"drag") {
                const QStringList cells = rest.split(u' ');
                QTest::mousePress(cell(cells.first()), Qt::LeftButton);
                for (const QString &c : cells.mid(1))
                    QTest::mouseMove(cell(c));
                QTest::mouseRelease(cell(cells.last()), Qt::LeftButton);
            } else if (verb == u"click") {
                const QString index = rest.section(u' ', 1);
                QTest::mouseClick(
                    dialog->controls().get<QPushButton>(qPrintable(rest.section(u' ', 0, 0)),
                                                        index.isEmpty() ? -1 : index.toInt()),
                    Qt::LeftButton);
            } else if (verb == u"act") {
                action(rest)->trigger();
            } else if (verb == u"keys") {
                PixelCell *target = cell(rest.section(u' ', 0, 0));
                target->setFocus();
                QTest::keySequence(target, QKeySequence(rest.section(u' ', 1)));
            } else if (verb == u"clip") {
                QGuiApplication::clipboard()->setText(rest);
            }
        }
    }
    // The grid shows `rows`, each row's label its value, and Set As Char 3 then Send Bitmap
    // to LCD puts it on the line as character 3.
    void expectOnLine(const QByteArray &rows) {
        for (int r = 0; r < 8; ++r) {
            const auto *label =
                dialog->controls().get<QLabel>(qPrintable(QStringLiteral("lblRow%1").arg(r + 1)));
            QCOMPARE(label->text().toInt(nullptr, 16), int(rows[r]));
            for (const int w : {16, 8, 4, 2, 1})
                QCOMPARE(cell(QStringLiteral("%1:%2").arg(r).arg(w))->background(),
                         rows[r] & w ? LitColour : UnlitColour);
        }
        run({"click cmdSetUD 3", "click cmdLoadUD"});
        const QByteArray frame =
            QByteArray::fromHex("FE64") + QByteArray(24, '\0') + rows + QByteArray(32, '\0');
        QCOMPARE(panel.peer.read(66).toHex(' '), frame.toHex(' '));
    }
};

} // namespace

class TstStudio : public QObject {
    Q_OBJECT

private slots:
    void gridChangesReachTheLine_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("rows");
        const auto rows = [](const char *hex) { return QByteArray::fromHex(hex); };
        QTest::addRow("a drag lights every cell it meets")
            << QStringList{"drag 0:16 1:16 2:16 2:8"} << rows("1010180000000000");
        QTest::addRow("a drag from a lit cell clears")
            << QStringList{"click cmdSetAll", "drag 0:16 0:8 1:8"} << rows("07171F1F1F1F1F1F");
        QTest::addRow("a press and release on one cell is a click")
            << QStringList{"drag 3:2 3:2"} << rows("0000000200000000");
        QTest::addRow("undo takes back a whole drag")
            << QStringList{"cell 7:1", "drag 0:16 1:16 2:16", "keys 0:16 Ctrl+Z"}
            << rows("0000000000000001");
        QTest::addRow("undo takes back Set All, redo brings it again")
            << QStringList{"cell 0:1", "click cmdSetAll", "act actUndo", "act actUndo",
                           "keys 0:1 Ctrl+Shift+Z"}
            << rows("0100000000000000");
        QTest::addRow("Ctrl+Y redoes Clear All")
            << QStringList{"click cmdSetAll", "click cmdClrAll", "act actUndo", "keys 2:2 Ctrl+Y"}
            << rows("0000000000000000");
        QTest::addRow("shift right by its shortcut loses the right column")
            << QStringList{"cell 0:16", "cell 1:1", "keys 0:16 Ctrl+Shift+Right"}
            << rows("0800000000000000");
        QTest::addRow("shift up loses the top row")
            << QStringList{"cell 0:16", "cell 1:1", "act actShiftUp"} << rows("0100000000000000");
        QTest::addRow("mirrors left-right and top-bottom")
            << QStringList{"cell 0:16", "cell 0:8", "act actMirrorLeftRight",
                           "act actMirrorTopBottom"}
            << rows("0000000000000003");
        QTest::addRow("invert, then undo the invert only")
            << QStringList{"cell 4:4", "keys 4:4 Ctrl+I", "act actShiftDown", "act actUndo"}
            << rows("1F1F1F1F1B1F1F1F");
        QTest::addRow("a pasted Arduino array, in one step")
            << QStringList{"cell 0:1",
                           "clip byte c[8] = {B00000, B01010, B11111, B11111, "
                           "B01110, B00100, B00000, B00000};",
                           "keys 5:4 Ctrl+V", "act actUndo", "act actRedo"}
            << rows("000A1F1F0E040000");
        QTest::addRow("a stored character comes back with Edit")
            << QStringList{"cell 6:8", "click cmdSetUD 3", "click cmdClrAll", "act actEditChar3"}
            << rows("0000000000000800");
    }
    void gridChangesReachTheLine() {
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, rows);
        Studio s;
        s.run(steps);
        s.expectOnLine(rows);
        QVERIFY(s.panel.boxes.shown.isEmpty());
    }

    void refusedPasteChangesNothing() {
        Studio s;
        s.run({"cell 1:2", "clip {0x00, 0x0A, 0x20, 0, 0, 0, 0, 0}", "act actPaste"});
        QCOMPARE(s.panel.boxes.shown.size(), 1);
        QCOMPARE(s.panel.boxes.shown[0].detail,
                 "Value 3, 0x20, is over 0x1F: a row has five pixels.");
        s.run({"act actUndo", "act actRedo"}); // nothing was recorded by the refusal
        s.expectOnLine(QByteArray::fromHex("0002000000000000"));
    }

    void copiesFromTheFocusedCell() {
        Studio s;
        s.run({"cell 1:8", "keys 1:8 Ctrl+C"});
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "{0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}");
        s.run({"act actCopyBinary"});
        QVERIFY(QGuiApplication::clipboard()->text().startsWith("B00000, B01000, B00000"));
    }

    void storeButtonsShowAndRecallTheirCharacter() {
        Studio s;
        s.run({"cell 2:16", "click cmdSetUD 6"});
        auto *button = s.dialog->controls().get<QPushButton>("cmdSetUD", 6);
        QVERIFY(button->toolTip().contains("0x10"));
        QVERIFY(button->toolTip().contains(LitColour.name()));
        QCOMPARE(button->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(button->actions().value(0)->text(), "Edit Character 6");
        QVERIFY(s.cell("0:16")->actions().contains(s.action("actPaste")));
    }

    void characterSetsGoToAndFromFiles() {
        QTemporaryDir dir;
        const QString saved = dir.filePath("set.tvkchars");
        {
            Studio s;
            s.run({"cell 0:16", "click cmdSetUD 3", "cell 0:1"});
            s.dialog->controls().get<QLineEdit>("txtLine1")->setText(" Hello ");
            QVERIFY(s.dialog->saveCharacterSet(saved));
            QVERIFY(s.dialog->exportCHeader(dir.filePath("chars.h")));
        }
        Studio s;
        QVERIFY(s.dialog->openCharacterSet(saved));
        QCOMPARE(s.dialog->controls().get<QLineEdit>("txtLine1")->text(), " Hello ");
        QFile bad(dir.filePath("bad.tvkchars"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("[Characters]\r\n0=00 00 00 00 00 00 00 00\r\n1=1F 1F\r\n");
        bad.close();
        QVERIFY(!s.dialog->openCharacterSet(bad.fileName()));
        QCOMPARE(s.panel.boxes.shown.value(0).detail,
                 "bad.tvkchars: Line 3: character 1 has 2 values; it needs eight hex bytes, top "
                 "row first.");
        // The refused file left the opened slots; the grid is not sent, slot 3 is.
        s.run({"click cmdLoadUD"});
        QCOMPARE(
            s.panel.peer.read(66).toHex(),
            (QByteArray::fromHex("FE64") + QByteArray(24, '\0') + '\x10' + QByteArray(39, '\0'))
                .toHex());
    }
};

QTEST_MAIN(TstStudio)
#include "tst_studio.moc"
