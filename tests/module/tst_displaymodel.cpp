// The module's behaviour, rule by rule, driven by the bytes the panel sends.
#include "module/displaymodel.h"
#include "module/dotfont.h"

#include <QJsonArray>
#include <QTest>

using namespace torvika::module;
using torvika::protocol::FrameDecoder;
using Frame = torvika::protocol::DecodedFrame;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// Feeds the bytes through a decoder into the model; returns the replies.
QByteArray drive(DisplayModel &model, const QByteArray &bytes) {
    FrameDecoder decoder;
    QByteArray replies;
    for (const Frame &frame : decoder.feed(bytes))
        if (const auto reply = model.apply(frame).reply)
            replies.append(static_cast<char>(*reply));
    return replies;
}

QByteArray padded(const QByteArray &text) {
    return text + QByteArray(Columns - text.size(), ' ');
}

} // namespace

class TstDisplayModel : public QObject {
    Q_OBJECT
private slots:
    // Where the text goes and where the cursor ends.
    void textAndCursorRules_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("row0");
        QTest::addColumn<QByteArray>("row1");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("text writes at the cursor and moves it right")
            << QByteArray("Hi") << padded("Hi") << padded("") << 0 << 2;
        QTest::newRow("past column 15 it goes on at the other row")
            << QByteArray("0123456789ABCDEFxy") << QByteArray("0123456789ABCDEF") << padded("xy")
            << 1 << 2;
        QTest::newRow("past the last cell it goes back to the top")
            << QByteArray(32, 'a') + "b" << padded("b").replace(1, 15, QByteArray(15, 'a'))
            << QByteArray(16, 'a') << 0 << 1;
        QTest::newRow("back space moves left and blanks")
            << QByteArray("abc") + hex("08") << padded("ab") << padded("") << 0 << 2;
        QTest::newRow("back space at the start of row 1 goes to the end of row 0")
            << QByteArray(16, 'a') + hex("08") << padded(QByteArray(15, 'a')) << padded("") << 0
            << 15;
        QTest::newRow("back space at home stays")
            << hex("0808") << padded("") << padded("") << 0 << 0;
        QTest::newRow("next line goes to the start of the other row")
            << QByteArray("ab") + hex("0C") + "c" << padded("ab") << padded("c") << 1 << 1;
        QTest::newRow("next line from row 1 goes to row 0")
            << hex("0C0C") + "z" << padded("z") << padded("") << 0 << 1;
        QTest::newRow("clear screen blanks and homes")
            << QByteArray("abc") + hex("0D") << padded("") << padded("") << 0 << 0;
        QTest::newRow("home keeps the text")
            << QByteArray("abc") + hex("0B") + "X" << padded("Xbc") << padded("") << 0 << 1;
        QTest::newRow("cursor left and right move without writing")
            << QByteArray("abc") + hex("0E0E0F") << padded("abc") << padded("") << 0 << 2;
        QTest::newRow("cursor left from home wraps to the end of row 1")
            << hex("0E") + "q" << padded("q").replace(0, 1, " ") << QByteArray(15, ' ') + "q" << 0
            << 0;
        QTest::newRow("set position, row first")
            << hex("FE32010F") + "Z" << padded("") << QByteArray(15, ' ') + "Z" << 0 << 0;
        QTest::newRow("a position off the display is ignored")
            << hex("FE320210") + "Z" << padded("Z") << padded("") << 0 << 1;
        QTest::newRow("user characters are written like text")
            << hex("0007") << padded(hex("0007")) << padded("") << 0 << 2;
        QTest::newRow("clear row 1")
            << QByteArray(32, 'x') + hex("FE2D01") << QByteArray(16, 'x') << padded("") << 0 << 0;
        QTest::newRow("clear column 0")
            << QByteArray(32, 'x') + hex("FE2E00") << " " + QByteArray(15, 'x')
            << " " + QByteArray(15, 'x') << 0 << 0;
    }
    void textAndCursorRules() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, row0);
        QFETCH(QByteArray, row1);
        QFETCH(int, row);
        QFETCH(int, column);
        DisplayModel model;
        drive(model, bytes);
        QCOMPARE(model.row(0), row0);
        QCOMPARE(model.row(1), row1);
        QCOMPARE(model.cursorRow(), row);
        QCOMPARE(model.cursorColumn(), column);
    }

    void cursorStylesBacklightAndOutputs() {
        DisplayModel model;
        QCOMPARE(model.cursorStyle(), DisplayModel::CursorStyle::Underline);
        drive(model, hex("FE02"));
        QCOMPARE(model.cursorStyle(), DisplayModel::CursorStyle::BlinkingBlock);
        drive(model, hex("FE03"));
        QCOMPARE(model.cursorStyle(), DisplayModel::CursorStyle::Hidden);
        drive(model, hex("FE07FE2832"));
        QVERIFY(!model.backlightOn());
        QCOMPARE(model.brightness(), 50);
        drive(model, hex("FE06FE28FAFE2831FE28FB"));
        QVERIFY(model.backlightOn());
        QCOMPARE(model.brightness(), 250); // 49 and 251 are refused
        drive(model, hex("FE2F05"));
        QCOMPARE(model.outputs(), 5);
        drive(model, hex("FE2FFA"));
        QCOMPARE(model.outputs(), 2); // only three outputs
    }

    void inputsAreAnsweredWithOneByte() {
        DisplayModel model;
        QCOMPARE(drive(model, hex("FE0A")).toHex(), QByteArray("00"));
        model.setInputs(5);
        QCOMPARE(drive(model, hex("FE0A")).toHex(), QByteArray("05"));
        model.setInputs(0xFF);
        QCOMPARE(drive(model, hex("FE0AFE0A")).toHex(), QByteArray("0707"));
    }

    void userCharactersAndTheirGlyphs() {
        DisplayModel model;
        QByteArray frame = hex("FE64") + QByteArray(64, '\0');
        frame[2 + 8 * 3 + 0] = 0x10;       // character 3, top-left pixel
        frame[2 + 8 * 7 + 7] = char(0xFF); // bits above 4 are no pixels
        drive(model, frame + hex("03"));
        QCOMPARE(model.chars()[8 * 3], 0x10);
        QCOMPARE(model.chars()[8 * 7 + 7], 0x1F);
        QCOMPARE(glyph(model.at(0, 0), model.chars())[0], 0x10);
        QCOMPARE(glyph('A', model.chars())[0], 0x0E);
        QCOMPARE(glyph(FullBlock, model.chars())[7], 0x1F);
    }

    // Init Graph prepares the partial cells; whole cells are the full block.
    void barGraph_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("row0");
        const QByteArray none = QByteArray(16, ' ');
        QTest::newRow("one column left to right")
            << hex("FE04FE2B01") << hex("00") + QByteArray(15, ' ');
        QTest::newRow("seven columns: one cell and two columns")
            << hex("FE04FE2B07") << hex("FF01") + QByteArray(14, ' ');
        QTest::newRow("80 columns fill the row") << hex("FE04FE2B50") << QByteArray(16, '\xff');
        QTest::newRow("right to left, 9 columns: a cell and four from the right")
            << hex("FE04FE2C09") << QByteArray(14, ' ') + hex("07FF");
        QTest::newRow("width 0 is refused") << hex("FE04FE2B00") << none;
        QTest::newRow("width 81 is refused") << hex("FE04FE2B51") << none;
    }
    void barGraph() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, row0);
        DisplayModel model;
        drive(model, bytes);
        QCOMPARE(model.row(0).toHex(' '), row0.toHex(' '));
        QCOMPARE(model.chars()[0], 0x10);     // one column from the left
        QCOMPARE(model.chars()[8 * 7], 0x0F); // four columns from the right
    }

    // The memory: startup screen at once, the rest only with Save.
    void memorySurvivesAPowerCycle() {
        DisplayModel model;
        QByteArray bitmaps = hex("FE64") + QByteArray(64, '\x0a');
        drive(model, hex("FEC86162630D78797AFF") + bitmaps + hex("FE2864FE1F"));
        QCOMPARE(model.memory().startupRow0, QByteArray("abc"));
        QCOMPARE(model.memory().brightness, 155); // not saved yet
        drive(model, hex("FE140D"));
        const Memory stored = Memory::fromJson(model.memory().toJson());
        QCOMPARE(stored, model.memory());

        DisplayModel later(stored);
        QCOMPARE(later.row(0), padded("abc"));
        QCOMPARE(later.row(1), padded("xyz"));
        QCOMPARE(later.brightness(), 100);
        QCOMPARE(later.speed(), 19200);
        QCOMPARE(later.chars()[63], 0x0A);

        drive(later, hex("FE64") + QByteArray(64, '\0') + hex("FE08"));
        QCOMPARE(later.chars()[63], 0x0A); // loaded back from memory
        drive(later, hex("0DFE150D"));
        drive(later, hex("FE16"));
        QCOMPARE(later.row(0), padded(""));
    }

    void brokenMemoryKeepsTheDefaults() {
        const Memory m = Memory::fromJson(
            QJsonObject{{QStringLiteral("startup"), QStringLiteral("not a list")},
                        {QStringLiteral("chars"), QJsonArray{QStringLiteral("zz"), 5}},
                        {QStringLiteral("brightness"), 9000},
                        {QStringLiteral("speed"), 300}});
        QCOMPARE(m, Memory{});
    }
};

QTEST_GUILESS_MAIN(TstDisplayModel)
#include "tst_displaymodel.moc"
