#include "config/chareditor.h"

#include <QTest>

using namespace torvika;

namespace {

// A click on a cell: row (0 = top) and the cell's weight.
struct Click {
    int row, weight;
};
using Clicks = QList<Click>;

} // namespace

Q_DECLARE_METATYPE(Clicks)

class TstCharEditor : public QObject {
    Q_OBJECT

private slots:
    void clicks_data();
    void clicks();
    void rowText_data();
    void rowText();
    void storeIsSnapshot();
    void storeOutsideSlotsDoesNothing_data();
    void storeOutsideSlotsDoesNothing();
};

void TstCharEditor::clicks_data() {
    QTest::addColumn<bool>("startFull");
    QTest::addColumn<Clicks>("clicks");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("value");

    QTest::newRow("leftmost cell of ROW1 is 0x10") << false << Clicks{{0, 16}} << 0 << 0x10;
    QTest::newRow("rightmost cell of ROW1 is 0x1") << false << Clicks{{0, 1}} << 0 << 0x01;
    QTest::newRow("all five cells one by one reach 0x1F")
        << false << Clicks{{3, 16}, {3, 8}, {3, 4}, {3, 2}, {3, 1}} << 3 << 0x1F;
    QTest::newRow("a second click on a cell restores the row")
        << false << Clicks{{5, 4}, {5, 4}} << 5 << 0;
    QTest::newRow("after Set All the middle cell of ROW3 leaves 0x1B")
        << true << Clicks{{2, 4}} << 2 << 0x1B;
    QTest::newRow("a click in one row leaves the next row alone")
        << false << Clicks{{6, 8}} << 7 << 0;
    QTest::newRow("a weight that is no cell changes nothing")
        << false << Clicks{{1, 3}, {1, 32}, {1, 0}, {1, -16}} << 1 << 0;
    QTest::newRow("a row outside the grid changes nothing")
        << false << Clicks{{8, 16}, {-1, 16}} << 7 << 0;
}

void TstCharEditor::clicks() {
    QFETCH(bool, startFull);
    QFETCH(Clicks, clicks);
    QFETCH(int, row);
    QFETCH(int, value);

    CharEditor editor;
    if (startFull)
        editor.setAll();
    for (const Click &c : clicks)
        editor.toggle(c.row, c.weight);
    QCOMPARE(int(editor.row(row)), value);
    for (int w : {16, 8, 4, 2, 1})
        QCOMPARE(editor.lit(row, w), (value & w) != 0);
}

void TstCharEditor::rowText_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("0 reads 0x0, not 0x00") << 0 << "0x0";
    QTest::newRow("5 has no leading zero") << 5 << "0x5";
    QTest::newRow("10 is one upper-case digit") << 10 << "0xA";
    QTest::newRow("16 reads 0x10") << 16 << "0x10";
    QTest::newRow("27 is upper case") << 27 << "0x1B";
    QTest::newRow("31 reads 0x1F") << 31 << "0x1F";
}

void TstCharEditor::rowText() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(CharEditor::rowText(static_cast<std::uint8_t>(value)), text);
}

void TstCharEditor::storeIsSnapshot() {
    CharEditor editor;
    editor.toggle(0, 16);
    editor.toggle(7, 1);
    editor.store(4);
    editor.toggle(0, 16); // drawing after the store
    editor.setAll();

    protocol::Bitmaps expected{};
    expected[32] = 0x10; // slot 4, top row
    expected[39] = 0x01; // slot 4, bottom row
    QCOMPARE(editor.bitmaps(), expected);

    editor.clearAll();
    editor.store(2);
    QCOMPARE(editor.bitmaps(), expected); // an empty drawing stores eight zeros
    editor.setAll();
    editor.store(4);
    for (int at = 32; at < 40; ++at)
        QCOMPARE(int(editor.bitmaps()[std::size_t(at)]), 0x1F);
}

void TstCharEditor::storeOutsideSlotsDoesNothing_data() {
    QTest::addColumn<int>("slot");
    QTest::newRow("slot -1") << -1;
    QTest::newRow("slot 8") << 8;
    QTest::newRow("slot 1000") << 1000;
}

void TstCharEditor::storeOutsideSlotsDoesNothing() {
    QFETCH(int, slot);
    CharEditor editor;
    editor.setAll();
    editor.store(slot);
    QCOMPARE(editor.bitmaps(), protocol::Bitmaps{});
}

QTEST_GUILESS_MAIN(TstCharEditor)
#include "tst_chareditor.moc"
