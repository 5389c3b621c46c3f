// The module's behaviour, rule by rule, driven by the bytes the panel sends.
#include "module/displaymodel.h"
#include "module/dotfont.h"
#include "support/data.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace torvika::module;
using torvika::protocol::FrameDecoder;
using namespace torvika::test;

namespace {

// Feeds the bytes through a decoder into the model; returns the replies.
QByteArray drive(DisplayModel &model, const QByteArray &bytes) {
    QByteArray replies;
    for (const auto &frame : FrameDecoder().feed(bytes))
        if (const auto reply = model.apply(frame).reply)
            replies.append(static_cast<char>(*reply));
    return replies;
}
QByteArray padded(const QByteArray &text) {
    return text + QByteArray(Columns - text.size(), ' ');
}
void rule(const char *name, const QByteArray &bytes, const QByteArray &row0, const QByteArray &row1,
          int row, int column) {
    QTest::newRow(name) << bytes << padded(row0) << padded(row1) << row << column;
}

} // namespace

class TstDisplayModel : public QObject {
    Q_OBJECT
private slots:
    // Where the text goes and where the cursor ends.
    void textAndCursorRules_data() {
        columns<QByteArray, QByteArray, QByteArray, int, int>(
            {"bytes", "row0", "row1", "row", "column"});
        const QByteArray a16(16, 'a');
        rule("past column 15 it goes on at the other row", a16 + "xy", a16, "xy", 1, 2);
        rule("past the last cell it goes back to the top", a16 + a16 + "b", "b" + a16.first(15),
             a16, 0, 1);
        rule("back space moves left and blanks", "abc" + hex("08"), "ab", "", 0, 2);
        rule("back space at row 1 goes to the end of row 0", a16 + hex("08"), a16.first(15), "", 0,
             15);
        rule("next line goes to the start of the other row", "ab" + hex("0C") + "c", "ab", "c", 1,
             1);
        rule("clear screen blanks and homes", "abc" + hex("0D"), "", "", 0, 0);
        rule("home keeps the text", "abc" + hex("0B") + "X", "Xbc", "", 0, 1);
        rule("cursor left and right move without writing", "abc" + hex("0E0E0F"), "abc", "", 0, 2);
        rule("cursor left from home wraps to the end", hex("0E") + "q", "",
             QByteArray(15, ' ') + "q", 0, 0);
        rule("set position, row first", hex("FE32010F") + "Z", "", QByteArray(15, ' ') + "Z", 0, 0);
        rule("user characters are written like text", hex("0007"), hex("0007"), "", 0, 2);
        rule("clear row 1", a16 + a16 + hex("FE2D01"), a16, "", 0, 0);
        rule("clear column 0", a16 + a16 + hex("FE2E00"), " " + a16.first(15), " " + a16.first(15),
             0, 0);
    }
    void textAndCursorRules() {
        QFETCH(QByteArray, bytes);
        DisplayModel model;
        drive(model, bytes);
        QTEST(model.row(0), "row0");
        QTEST(model.row(1), "row1");
        QTEST(model.cursorRow(), "row");
        QTEST(model.cursorColumn(), "column");
    }

    void cursorBacklightOutputsAndInputs() {
        DisplayModel model;
        QCOMPARE(model.cursorStyle(), DisplayModel::CursorStyle::Underline);
        drive(model, hex("FE02"));
        QCOMPARE(model.cursorStyle(), DisplayModel::CursorStyle::BlinkingBlock);
        drive(model, hex("FE03 FE07 FE2832"));
        QCOMPARE(model.cursorStyle(), DisplayModel::CursorStyle::Hidden);
        QCOMPARE(std::pair(model.backlightOn(), model.brightness()), std::pair(false, 50));
        drive(model, hex("FE06 FE28FA"));
        QCOMPARE(std::pair(model.backlightOn(), model.brightness()), std::pair(true, 250));
        drive(model, hex("FE2FFD"));
        QCOMPARE(model.outputs(), 5); // only three outputs
        QCOMPARE(drive(model, hex("FE0A")), hex("00"));
        model.setInputs(0xFD);
        QCOMPARE(drive(model, hex("FE0A FE0A")), hex("0505"));
    }

    void userCharactersAndTheirGlyphs() {
        DisplayModel model;
        QByteArray frame = hex("FE64") + QByteArray(64, '\0');
        frame[2 + 8 * 3] = 0x10;           // character 3, top-left pixel
        frame[2 + 8 * 7 + 7] = char(0xFF); // bits above 4 are no pixels
        drive(model, frame + hex("03"));
        QCOMPARE(model.chars()[8 * 7 + 7], 0x1F);
        QCOMPARE(glyph(model.at(0, 0), model.chars())[0], 0x10);
        QCOMPARE(glyph('A', model.chars())[0], 0x0E);
        QCOMPARE(glyph(FullBlock, model.chars())[7], 0x1F);
    }

    // Init Graph prepares the partial cells; whole cells are the full block.
    void barGraph_data() {
        columns<QByteArray, QByteArray>({"bytes", "row0"});
        const QByteArray blank(14, ' ');
        QTest::newRow("7: a cell and two columns") << hex("FE04FE2B07") << hex("FF01") + blank;
        QTest::newRow("80 fill the row") << hex("FE04FE2B50") << QByteArray(16, '\xff');
        QTest::newRow("9 from the right") << hex("FE04FE2C09") << blank + hex("07FF");
    }
    void barGraph() {
        const auto [bytes, row0] = fetch<QByteArray, QByteArray>({"bytes", "row0"});
        DisplayModel model;
        drive(model, bytes);
        QCOMPARE(model.row(0).toHex(' '), row0.toHex(' '));
        QCOMPARE(model.chars()[0], 0x10);     // one column from the left
        QCOMPARE(model.chars()[8 * 7], 0x0F); // four columns from the right
    }

    // The memory: startup screen at once, the rest only with Save; a broken one is not used.
    void memorySurvivesAPowerCycle() {
        DisplayModel model;
        drive(model, hex("FEC86162630D78797AFF FE64") + QByteArray(64, '\x0a') + hex("FE2864FE1F"));
        QCOMPARE(model.memory().startupRow0, QByteArray("abc"));
        QCOMPARE(model.memory().brightness, 155); // not saved yet
        drive(model, hex("FE140D"));
        const Memory stored = Memory::fromJson(model.memory().toJson());
        QCOMPARE(stored, model.memory());

        DisplayModel later(stored);
        QCOMPARE(later.row(0) + later.row(1), padded("abc") + padded("xyz"));
        QCOMPARE(later.brightness(), 100);
        QCOMPARE(later.speed(), 19200);
        drive(later, hex("FE64") + QByteArray(64, '\0') + hex("FE08"));
        QCOMPARE(later.chars()[63], 0x0A); // loaded back from memory
        drive(later, hex("0D FE150D FE16"));
        QCOMPARE(later.row(0), padded(""));
        const char *broken =
            R"({"startup": "x", "chars": ["zz", 5], "brightness": 9000, "speed": 300})";
        QCOMPARE(Memory::fromJson(QJsonDocument::fromJson(broken).object()), Memory{});
    }
};

QTEST_GUILESS_MAIN(TstDisplayModel)
#include "tst_displaymodel.moc"
