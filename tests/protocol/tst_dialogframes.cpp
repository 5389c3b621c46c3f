#include "protocol/frames.h"

#include <QTest>

using namespace torvika;
using namespace torvika::protocol;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
QByteArray zeros(int count) {
    return QByteArray(count, '\0');
}

// One lit row value placed in the slot table: character, row (1 = top), value.
struct Placed {
    int character, row, value;
};
using Placements = QList<Placed>;

Bitmaps bitmapsWith(const Placements &placements) {
    Bitmaps bitmaps{};
    for (const Placed &p : placements)
        bitmaps[static_cast<std::size_t>(8 * p.character + p.row - 1)] =
            static_cast<std::uint8_t>(p.value);
    return bitmaps;
}

Placements fullCharacter(int character) {
    Placements rows;
    for (int row = 1; row <= 8; ++row)
        rows.append({character, row, 0x1F});
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Placements)

class TstDialogFrames : public QObject {
    Q_OBJECT

private slots:
    void customCharFrame_data();
    void customCharFrame();
    void customCharWriteBoundaries();
    void startupScreen_data();
    void startupScreen();
    void startupScreenRefused_data();
    void startupScreenRefused();
    void fixedSequences_data();
    void fixedSequences();
};

void TstDialogFrames::customCharFrame_data() {
    QTest::addColumn<Placements>("stored");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray head = hex("FE64");
    QTest::newRow("empty slots send FE 64 and 64 zero bytes") << Placements{} << head + zeros(64);
    QTest::newRow("slot 0 fully lit sends eight 1F then 56 zeros")
        << fullCharacter(0) << head + hex("1F1F1F1F1F1F1F1F") + zeros(56);
    QTest::newRow("slot 7 top-left pixel is byte 58 = 10")
        << Placements{{7, 1, 0x10}} << head + zeros(56) + hex("10") + zeros(7);
    QTest::newRow("bottom-right pixel of character 0 is its eighth byte 01")
        << Placements{{0, 8, 0x01}} << head + zeros(7) + hex("01") + zeros(56);
    QTest::newRow("row 5 of character 3 sits at offset 30")
        << Placements{{3, 5, 0x0A}} << head + zeros(28) + hex("0A") + zeros(35);
    QTest::newRow("slot 7 fully lit ends the frame in eight 1F")
        << fullCharacter(7) << head + zeros(56) + hex("1F1F1F1F1F1F1F1F");
}

void TstDialogFrames::customCharFrame() {
    QFETCH(Placements, stored);
    QFETCH(QByteArray, expected);
    const QByteArray frame = customCharBitmaps(bitmapsWith(stored));
    QCOMPARE(frame.size(), 66);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void TstDialogFrames::customCharWriteBoundaries() {
    // Each character's rows hold its own number plus one, so a shifted cut shows at once.
    Placements placements;
    for (int character = 0; character < 8; ++character)
        for (int row = 1; row <= 8; ++row)
            placements.append({character, row, character + 1});
    const QList<QByteArray> writes = customCharWrites(bitmapsWith(placements));

    QCOMPARE(writes.size(), 8);
    QCOMPARE(writes[0].toHex(' '), hex("FE640101010101010101").toHex(' '));
    for (int character = 1; character < 8; ++character)
        QCOMPARE(writes[character].toHex(' '), QByteArray(8, char(character + 1)).toHex(' '));
}

void TstDialogFrames::startupScreen_data() {
    QTest::addColumn<QString>("row0");
    QTest::addColumn<QString>("row1");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("abc and xyz") << "abc"
                                 << "xyz" << hex("FEC86162630D78797AFF");
    QTest::newRow("abc with row 1 empty puts FF right after 0D") << "abc"
                                                                 << "" << hex("FEC86162630DFF");
    QTest::newRow("trailing spaces are kept") << "abc  "
                                              << ""
                                              << hex("FEC86162632020"
                                                     "0DFF");
    QTest::newRow("a single space is sent") << " "
                                            << "" << hex("FEC8200DFF");
    QTest::newRow("letter case is kept") << "AbC"
                                         << "xYz" << hex("FEC84162430D78597AFF");
    QTest::newRow("two full rows make 36 bytes")
        << "0123456789ABCDEF"
        << "fedcba9876543210"
        << hex("FEC8") + QByteArray("0123456789ABCDEF") + hex("0D") +
               QByteArray("fedcba9876543210") + hex("FF");
    QTest::newRow("latin-1 letters go out as their code")
        << QStringLiteral("\u00E9\u00FC") << QStringLiteral("\u00A3") << hex("FEC8E9FC0DA3FF");
    QTest::newRow("FE inside the text needs no escape")
        << QStringLiteral("\u00FE") << "" << hex("FEC8FE0DFF");
}

void TstDialogFrames::startupScreen() {
    QFETCH(QString, row0);
    QFETCH(QString, row1);
    QFETCH(QByteArray, expected);
    const StartupScreen screen = setStartupScreen(row0, row1);
    QVERIFY2(screen.problem.isEmpty(), qPrintable(screen.problem));
    QCOMPARE(screen.frame.toHex(' '), expected.toHex(' '));
}

void TstDialogFrames::startupScreenRefused_data() {
    QTest::addColumn<QString>("row0");
    QTest::addColumn<QString>("row1");
    QTest::addColumn<QString>("rowNamed");
    QTest::addColumn<QString>("codeNamed");

    QTest::newRow("carriage return in row 0 would split the rows") << QStringLiteral("ab\rc") << ""
                                                                   << "Row 0"
                                                                   << "13";
    QTest::newRow("y with diaeresis in row 1 would end the frame")
        << "abc" << QStringLiteral("x\u00FF") << "Row 1"
        << "255";
    QTest::newRow("euro sign has no single byte") << QStringLiteral("5 \u20AC") << ""
                                                  << "Row 0"
                                                  << "8364";
    QTest::newRow("a character outside the basic plane is refused whole")
        << "ok" << QStringLiteral("\U0001F600") << "Row 1"
        << "128512";
}

void TstDialogFrames::startupScreenRefused() {
    QFETCH(QString, row0);
    QFETCH(QString, row1);
    QFETCH(QString, rowNamed);
    QFETCH(QString, codeNamed);
    const StartupScreen screen = setStartupScreen(row0, row1);
    QVERIFY(screen.frame.isEmpty());
    QVERIFY2(screen.problem.contains(rowNamed), qPrintable(screen.problem));
    QVERIFY2(screen.problem.contains(codeNamed), qPrintable(screen.problem));
}

void TstDialogFrames::fixedSequences_data() {
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QList<QByteArray>>("expected");

    QTest::newRow("erase sends FE 15 0D then the 21-byte confirmation")
        << eraseStartupScreenWrites()
        << QList<QByteArray>{hex("FE150D"), hex("53746172747570205363726565"
                                                "6E20457261736564")};
    QTest::newRow("9600 sends 0D, FE 1E, then BR Set : 9600")
        << moduleSpeedWrites(9600)
        << QList<QByteArray>{hex("0D"), hex("FE1E"), hex("425220536574203A2039363030")};
    QTest::newRow("19200 sends 0D, FE 1F, then BR Set : 19200")
        << moduleSpeedWrites(19200)
        << QList<QByteArray>{hex("0D"), hex("FE1F"), hex("425220536574203A203139323030")};
}

void TstDialogFrames::fixedSequences() {
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QList<QByteArray>, expected);
    QCOMPARE(writes, expected);
}

QTEST_GUILESS_MAIN(TstDialogFrames)
#include "tst_dialogframes.moc"
