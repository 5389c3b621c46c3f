// One user character as text: the three forms the panel writes, everything it reads, and the
// reasons it gives for text that is not one character.
#include "protocol/charcodec.h"

#include <QRandomGenerator>
#include <QTest>

using namespace torvika::protocol;

namespace {
const CharBitmap Heart{0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00};
}

class TstCharCodec : public QObject {
    Q_OBJECT

private slots:
    void writesTheThreeForms() {
        QCOMPARE(charAsCArray(Heart), "{0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00}");
        QCOMPARE(charAsBinary(Heart), "B00000, B01010, B11111, B11111, B01110, B00100, B00000, "
                                      "B00000");
        QCOMPARE(charAsHex(Heart), "00 0A 1F 1F 0E 04 00 00");
    }

    void everyFormReadsBack() {
        QList<CharBitmap> chars{CharBitmap{},
                                {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F},
                                {0x10, 0, 0, 0, 0, 0, 0, 0x01},
                                {0x15, 0x0A, 0x15, 0x0A, 0x15, 0x0A, 0x15, 0x0A}};
        QRandomGenerator random(17);
        for (int i = 0; i < 3000; ++i) {
            CharBitmap c;
            for (auto &row : c)
                row = static_cast<std::uint8_t>(random.bounded(32));
            chars << c;
        }
        for (const CharBitmap &c : chars)
            for (const QString &text : {charAsCArray(c), charAsBinary(c), charAsHex(c)})
                QVERIFY2(parseChar(text).rows == c, qPrintable(text));
    }

    void readsWhatPeoplePaste_data() {
        QTest::addColumn<QString>("text");
        QTest::addRow("Arduino sketch with B values and a declaration")
            << "byte heart[8] = {\n  B00000,\n  B01010,\n  B11111,\n  B11111,\n  B01110,\n"
               "  B00100,\n  B00000,\n  B00000\n};";
        QTest::addRow("C array with comments and 0X")
            << "const uint8_t c[] = { /* top */ 0X00, 0x0a, 0x1F, // middle\n 0x1f, 0x0E, 0x4, "
               "0x00, 0x0 };";
        QTest::addRow("decimal list without braces") << "0, 10, 31, 31, 14, 4, 0, 0";
        QTest::addRow("0b values after an equals sign") << "x = 0b00000 0b01010 0b11111 0b11111 "
                                                           "0b01110 0b00100 0b0 0b0;";
        QTest::addRow("dot art") << ".....\n.#.#.\n#####\n#####\n.###.\n..#..\n.....\n.....\n";
        QTest::addRow("dot art of digits, CRLF and blank lines")
            << "\r\n00000\r\n01010\r\n11111\r\n11111\r\n01110\r\n00100\r\n00000\r\n00000\r\n\r\n";
    }
    void readsWhatPeoplePaste() {
        QFETCH(QString, text);
        const ParsedChar parsed = parseChar(text);
        QCOMPARE(parsed.problem, QString());
        QCOMPARE(parsed.rows, Heart);
    }

    void refusesWithTheReason_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        QTest::addRow("seven rows") << "0 1 2 3 4 5 6"
                                    << "Found 7 rows; a character has eight.";
        QTest::addRow("two characters in one array") << "{{1,2,3,4,5,6,7,8},{1,2,3,4,5,6,7,8}}"
                                                     << "Found 16 rows; a character has eight.";
        QTest::addRow("empty text") << " \n "
                                    << "There is no character in the text.";
        QTest::addRow("a value over 0x1F") << "{0x00, 0x0A, 0x20, 0, 0, 0, 0, 0}"
                                           << "Value 3, 0x20, is over 0x1F: a row has "
                                              "five pixels.";
        QTest::addRow("a value too large for any integer")
            << "99999999999999999999 0 0 0 0 0 0 0"
            << "Value 1, 99999999999999999999, is over 0x1F: a row has five pixels.";
        QTest::addRow("hex digits in a decimal list")
            << "0, 0A, 1, 1, 1, 1, 1, 1"
            << "Value 2, \"0A\", is not a row: write rows as 0x0A, B01010, 10 or .#.#.";
        QTest::addRow("a word") << "hello world"
                                << "Value 1, \"hello\", is not a row: write rows as 0x0A, "
                                   "B01010, 10 or .#.#.";
        QTest::addRow("a dot row of six pixels")
            << ".....\n.#.#.#\n"
            << "Row 2, \".#.#.#\", has 6 pixels; a row has five.";
        QTest::addRow("far too long") << QString(70000, u'0')
                                      << "The text is 70000 characters long; one character is "
                                         "written in far fewer.";
    }
    void refusesWithTheReason() {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        const ParsedChar parsed = parseChar(text);
        QCOMPARE(parsed.problem, problem);
        QVERIFY(!parsed.rows);
    }

    void headerHoldsEveryCharacter() {
        Bitmaps all{};
        std::copy(Heart.begin(), Heart.end(), all.begin() + 7 * CharRows);
        const QByteArray header = charSetAsCHeader(all);
        QVERIFY(header.contains("static const uint8_t torvika_chars[8][8] = {\n"
                                "    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, /* 0 */\n"));
        QVERIFY(header.contains("{0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00}  /* 7 */\n};"));
    }
};

QTEST_GUILESS_MAIN(TstCharCodec)
#include "tst_charcodec.moc"
