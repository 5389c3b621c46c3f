// Character set files: what the panel writes reads back, files written by hand or on Windows
// are read, and damaged or foreign files are refused with the line that is wrong.
#include "protocol/charcodec.h"
#include "settings/charsetfile.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::charset;

namespace {

CharacterSet sample() {
    CharacterSet set;
    for (std::size_t i = 0; i < set.chars.size(); ++i)
        set.chars[i] = static_cast<std::uint8_t>((i * 7) % 32);
    set.startup = std::array<QString, 2>{QStringLiteral(" \"Grüße\" "), QString()};
    return set;
}

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

const QString HandWritten =
    QStringLiteral("\r\n; made by hand\r\n[characters]\r\n"
                   "0 = 00 0a 1f 1F 0E 04 00 00\r\n1=0 0 0 0 0 0 0 1\r\n"
                   "2=00 00 00 00 00 00 00 00\r\n3=00 00 00 00 00 00 00 00\r\n"
                   "4=00 00 00 00 00 00 00 00\r\n5=00 00 00 00 00 00 00 00\r\n"
                   "6=00 00 00 00 00 00 00 00\r\n7=00 00 00 00 00 00 00 00\r\n"
                   "[STARTUP]\r\nrow0=Grüße\r\n");

} // namespace

class TstCharSetFile : public QObject {
    Q_OBJECT

private slots:
    void whatIsWrittenReadsBack() {
        QTemporaryDir dir;
        const QString path = dir.filePath("set.tvkchars");
        QCOMPARE(writeFile(path, sample()), QString());
        QCOMPARE(readFile(path).set, sample());
        CharacterSet noStartup = sample();
        noStartup.startup.reset();
        QCOMPARE(parse(format(noStartup)).set, noStartup);
    }

    void readsFilesWrittenByHand_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("UTF-8, CRLF, blank lines, any letter case")
            << encoded(HandWritten, QStringConverter::Utf8);
        QTest::addRow("UTF-16 with a byte-order mark")
            << encoded(HandWritten, QStringConverter::Utf16LE);
        QTest::addRow("UTF-16 big-endian without one")
            << encoded(HandWritten, QStringConverter::Utf16BE).mid(2);
        QTest::addRow("Latin-1 of an older Windows editor") << HandWritten.toLatin1();
    }
    void readsFilesWrittenByHand() {
        QFETCH(QByteArray, content);
        const ReadResult read = parse(content);
        QCOMPARE(read.problem, QString());
        QCOMPARE(protocol::charOf(read.set->chars, 0),
                 (protocol::CharBitmap{0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00}));
        QCOMPARE(int(read.set->chars[15]), 1);
        QCOMPARE(read.set->startup.value()[0], QStringLiteral("Grüße"));
    }

    void refusesWithTheLine_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        const QByteArray chars = "[Characters]\n0=00 00 00 00 00 00 00 00\n";
        QByteArray rest;
        for (int c = 2; c < 8; ++c)
            rest += QByteArray::number(c) + "=00 00 00 00 00 00 00 00\n";
        QTest::addRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                 << "The file has no [Characters] section with keys 0 to 7: it is "
                                    "not a character set.";
        QTest::addRow("a character missing")
            << chars + rest << "Character 1 is missing: [Characters] needs the keys 0 to 7.";
        QTest::addRow("a row over 0x1F")
            << chars + "1=00 20 00 00 00 00 00 00\n" + rest
            << "Line 3: 0x20 in character 1 is over 0x1F: a row has five pixels.";
        QTest::addRow("a value that is no hex byte")
            << chars + "1=00 0G 00 00 00 00 00 00\n" + rest
            << "Line 3: \"0G\" in character 1 is not a hex byte.";
        QTest::addRow("a key of a ninth character")
            << chars + "8=00 00 00 00 00 00 00 00\n" + rest
            << "Line 3: [Characters] has the key \"8\"; its keys are 0 to 7.";
        QTest::addRow("a startup row of 17 characters")
            << chars + "1=00 00 00 00 00 00 00 00\n" + rest + "[Startup]\nRow1=abcdefghijklmnopq\n"
            << "Line 11: startup row 1 is longer than 16 characters.";
    }
    void refusesWithTheLine() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const ReadResult read = parse(content);
        QCOMPARE(read.problem, problem);
        QVERIFY(!read.set);
    }

    void filesThatCannotBeUsed() {
        QTemporaryDir dir;
        QCOMPARE(readFile(dir.path()).problem, dir.path() + " is not a file.");
        QFile big(dir.filePath("big.tvkchars"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(MaxFileSize + 1));
        big.close();
        QVERIFY(readFile(big.fileName()).problem.endsWith("a character set file is far smaller."));
        CharacterSet twoLines = sample();
        twoLines.startup->at(1) = QStringLiteral("a\nb");
        QCOMPARE(writeFile(dir.filePath("x.tvkchars"), twoLines),
                 "Startup row 1 holds a line break, which the file cannot carry.");
        QVERIFY(writeFile(dir.filePath("no/such/folder.tvkchars"), sample())
                    .contains("cannot be written"));
    }
};

QTEST_GUILESS_MAIN(TstCharSetFile)
#include "tst_charsetfile.moc"
