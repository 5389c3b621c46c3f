// Character set files: what the panel writes reads back, files written by hand or on Windows
// are read, and damaged or foreign files are refused with the line that is wrong.
#include "settings/charsetfile.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika::charset;

class TstCharSetFile : public QObject {
    Q_OBJECT

private slots:
    void whatIsWrittenReadsBack() {
        QTemporaryDir dir;
        CharacterSet set;
        for (std::size_t i = 0; i < set.chars.size(); ++i)
            set.chars[i] = static_cast<std::uint8_t>((i * 7) % 32);
        QCOMPARE(parse(format(set)).set, set); // no startup section
        set.startup = std::array<QString, 2>{QStringLiteral(" \"Grüße\" "), QString()};
        QCOMPARE(writeFile(dir.filePath("a.tvkchars"), set), QString());
        QCOMPARE(readFile(dir.filePath("a.tvkchars")).set, set);
        QVERIFY(writeFile(dir.filePath("no/dir.tvkchars"), set).contains("cannot be written"));
        QCOMPARE(readFile(dir.path()).problem, dir.path() + " is not a file.");
        set.startup->at(1) = QStringLiteral("a\nb");
        QCOMPARE(writeFile(dir.filePath("b.tvkchars"), set),
                 "Startup row 1 holds a line break, which the file cannot carry.");
    }

    // An empty problem: the file reads as the one written by hand.
    void readsOrRefuses_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        const QByteArray rest = "2=0 0 0 0 0 0 0 0\n3=0 0 0 0 0 0 0 0\n4=0 0 0 0 0 0 0 0\n"
                                "5=0 0 0 0 0 0 0 0\n6=0 0 0 0 0 0 0 0\n7=0 0 0 0 0 0 0 0\n";
        const QString hand =
            "\r\n; by hand\r\n[characters]\r\n 0 = 00 0a 1f 1F 0E 04 00 00 ;heart\r\n"
            "1=0 0 0 0 0 0 0 1\r\n" +
            QString::fromLatin1(rest) + "[STARTUP]\r\nrow0=Grüße aus Bremen";
        const auto bom = [&](QStringConverter::Encoding encoding) {
            return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::WriteBom)(hand));
        };
        const QByteArray head = "[Characters]\n0=00 00 00 00 00 00 00 00\n";
        QTest::addRow("UTF-8, CRLF, blanks, any letter case") << bom(QStringConverter::Utf8) << "";
        QTest::addRow("UTF-16, byte-order mark") << bom(QStringConverter::Utf16LE) << "";
        QTest::addRow("UTF-16BE without") << bom(QStringConverter::Utf16BE).mid(2) << "";
        QTest::addRow("Latin-1 of an older Windows editor") << hand.toLatin1() << "";
        QTest::addRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                 << "The file has no [Characters] section with keys 0 to 7: it is "
                                    "not a character set.";
        QTest::addRow("a character missing")
            << head + rest << "Character 1 is missing: [Characters] needs the keys 0 to 7.";
        QTest::addRow("a row over 0x1F")
            << head + "1=00 20 00 00 00 00 00 00\n" + rest
            << "Line 3: 0x20 in character 1 is over 0x1F: a row has five pixels.";
        QTest::addRow("nine values in a character")
            << head + "1=1 1 1 1 1 1 1 1 1\n" + rest
            << "Line 3: character 1 has 9 values; it needs eight hex bytes, top row first.";
        QTest::addRow("a ninth character")
            << head + "8=00\n" + rest
            << "Line 3: [Characters] has the key \"8\"; its keys are 0 to 7.";
        QTest::addRow("17 characters in a startup row")
            << head + "1=1 1 1 1 1 1 1 1\n" + rest + "[Startup]\nRow1=abcdefghijklmnopq\n"
            << "Line 11: startup row 1 is longer than 16 characters.";
    }
    void readsOrRefuses() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const ReadResult read = parse(content);
        QCOMPARE(read.problem, problem);
        QCOMPARE(read.set.has_value(), problem.isEmpty());
        if (read.set) {
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(read.set->chars.data()), 16).toHex(),
                     "000a1f1f0e0400000000000000000001");
            QCOMPARE(read.set->startup.value()[0], QStringLiteral("Grüße aus Bremen")); // 16
        }
    }
};

QTEST_GUILESS_MAIN(TstCharSetFile)
#include "tst_charsetfile.moc"
