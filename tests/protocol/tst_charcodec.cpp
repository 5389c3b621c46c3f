// One user character as text: the forms the panel writes, what it reads, and why it refuses.
#include "protocol/charcodec.h"

#include "support/data.h"

#include <QRandomGenerator>

using namespace torvika::protocol;
using namespace torvika::test;

static const CharBitmap Heart{0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00};

class TstCharCodec : public QObject {
    Q_OBJECT

private slots:
    // Each form as written, a header with every character, and any character read back.
    void writesEachFormAndReadsItBack() {
        QCOMPARE(charAsCArray(Heart), "{0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00}");
        QCOMPARE(charAsBinary(Heart), "B00000, B01010, B11111, B11111, B01110, B00100, B00000, "
                                      "B00000");
        QCOMPARE(charAsHex(Heart), "00 0A 1F 1F 0E 04 00 00");
        Bitmaps all{};
        std::copy(Heart.begin(), Heart.end(), all.begin() + 7 * CharRows);
        const QByteArray header = charSetAsCHeader(all);
        QVERIFY(header.contains("[8][8] = {\n    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, "
                                "0x00}, /* 0 */\n"));
        QVERIFY(header.contains(charAsCArray(Heart).toLatin1() + "  /* 7 */\n};"));
        QRandomGenerator random(17);
        for (int i = 0; i < 3000; ++i) { // the empty and the full character, then random ones
            CharBitmap c;
            for (auto &row : c)
                row = static_cast<std::uint8_t>(i < 2 ? i * 0x1F : random.bounded(32));
            for (const QString &text : {charAsCArray(c), charAsBinary(c), charAsHex(c)})
                QVERIFY2(parseChar(text).rows == c, qPrintable(text));
        }
    }

    // An empty problem: the text reads as the heart.
    void readsOrRefuses_data() {
        columns<QString, QString>({"text", "problem"});
        const char *const rows[][3] = {
            {"Arduino declaration of B values",
             "byte h[8] = {\n B00000,\n B01010,\n B11111,\n B11111,\n B01110,\n B00100,\n "
             "B00000,\n B00000\n};"},
            {"C array with comments, 0X and 0b",
             "{ /* top */ 0X00, 0x0a, 0b11111, // mid\n 0x1f, 0x0E, 0x4, 0x00, 0x0 };"},
            {"decimal list", "0, 10, 31, 31, 14, 4, 0, 0"},
            {"Python list with C suffixes", "heart = [0x00, 0x0Au, 0x1FUL, 0x1f, 14u, 4, 0, 0]"},
            {"comma-separated bare hex", "00,0A,1F,1F,0E,04,00,00"},
            {"star art, blanks at line ends dropped", "\n * *\n*****\n*****\n ***\n  *\n\n\n"},
            {"star art of nine lines", "*\n*\n*\n*\n*\n*\n*\n*\n*",
             "Found 9 lines of art; a character has eight."},
            {"star art too wide", "\n * * *\n*\n*\n*\n*\n\n\n",
             "Row 2, \" * * *\", is 6 pixels wide; a row "
             "has five."},
            {"dot art, CRLF",
             ".....\r\n.#.#.\r\n#####\r\n11111\r\n01110\r\n..#..\r\n.....\r\n....."},
            {"seven rows", "0 1 2 3 4 5 6", "Found 7 rows; a character has eight."},
            {"empty", " \n ", "There is no character in the text."},
            {"0x20", "{0, 0x0A, 0x20, 0, 0, 0, 0, 0}",
             "Value 3, 0x20, is over 0x1F: a row has five pixels."},
            {"two-digit numbers between blanks are hex", "10 31 00 00 00 00 00 00",
             "Value 2, 31 read as hex (write decimal values separated by commas, without leading "
             "zeros), is over 0x1F: a row has five pixels."},
            {"hex digits among decimals", "0, 0A, 1, 1, 1, 1, 1, 1",
             "Value 2, \"0A\", is not a row: write rows as 0x0A, B01010, 10 or .#.#."},
            {"a dot row of six", ".....\n.#.#.#\n",
             "Row 2, \".#.#.#\", has 6 pixels; a row has five."}};
        for (const auto &r : rows)
            QTest::addRow("%s", r[0]) << r[1] << (r[2] ? r[2] : "");
        QTest::addRow("far too long")
            << QString(70000, u'0')
            << "The text is 70000 characters long; one character is written in far fewer.";
    }
    void readsOrRefuses() {
        const auto [text, problem] = fetch<QString, QString>({"text", "problem"});
        const ParsedChar parsed = parseChar(text);
        QCOMPARE(parsed.problem, problem);
        QCOMPARE(parsed.rows, problem.isEmpty() ? std::optional(Heart) : std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TstCharCodec)
#include "tst_charcodec.moc"
