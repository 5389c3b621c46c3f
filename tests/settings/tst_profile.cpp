// The private-profile rules on bytes: what a read finds, what a write changes, what it refuses.
#include "settings/profile.h"

#include "support/data.h"

using namespace torvika;
using namespace Qt::StringLiterals;
using torvika::test::columns;

namespace {

// Literal bytes, NULs included.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}
const QByteArray Bom = bytes("\xEF\xBB\xBF");

void readRow(const char *name, const QByteArray &content, const char *section, const char *key,
             const QByteArray &value) {
    QTest::newRow(name) << content << QByteArray(section) << QByteArray(key) << value;
}
void writeRow(const char *name, const QByteArray &content, const char *section, const char *key,
              const QByteArray &value, const QByteArray &expected) {
    QTest::newRow(name) << content << QByteArray(section) << QByteArray(key) << value << expected;
}

} // namespace

class TstProfile : public QObject {
    Q_OBJECT
private slots:
    void readString_data() {
        columns<QByteArray, QByteArray, QByteArray, QByteArray>(
            {"content", "section", "key", "expected"});
        const QByteArray file = "[Settings]\r\nCommPort=2\r\n[LCD]\r\nBL=155\r\n"_ba;
        readRow("key of a later section", file, "LCD", "BL", "155");
        readRow("names without regard to case", "[SETTINGS]\nCOMMPORT=4\n", "sEttings", "commport",
                "4");
        readRow("blanks around names, brackets and = ignored", "  [ \tS ]\n \t k \t=\t 7 \t\n",
                " S\t", "\tk ", "7");
        readRow("blanks inside the value and the key kept", "[S]\nk 2=a  b\tc\n", "S", "k 2",
                "a  b\tc");
        readRow("one pair of matching quotes removed", "[S]\nk= \"\" x \"\" \n", "S", "k",
                "\" x \"");
        readRow("quotes that do not match kept", "[S]\nk=\"x'\n", "S", "k", "\"x'");
        readRow("; line is a comment", "[S]\n \t;k=1\nk=2\n", "S", "k", "2");
        readRow("; after a value is part of it", "[S]\nk=1 ; main\n", "S", "k", "1 ; main");
        readRow("line without = is no key", "[S]\nk\n", "S", "k", "");
        readRow("key before the first section cannot be read", "k=1\n[S]\n", "S", "k", "");
        readRow("header ends at its first ]", "[S]x] ; c\nk=1\n", "S", "k", "1");
        readRow("[ without ] opens no section", "[S]\n[T\nk=1\n", "S", "k", "1");
        readRow("first of duplicate keys wins", "[S]\nk=1\nK=2\n", "S", "k", "1");
        readRow("only the first of duplicate sections searched", "[S]\n[T]\n[s]\nb=3\n", "S", "b",
                "");
        readRow("empty key asked for", "[S]\n=1\n", "S", "", "");
        readRow("byte-order mark skipped", Bom + "[S]\r\nk=3\r\n", "S", "k", "3");
        readRow("CR line ends", "[S]\rk=1\r[T]\rk=2", "T", "k", "2");
        readRow("bytes above 127 and NUL kept", bytes("[S]\n\0\x01\nk=\xE9\0\xFF\n"), "S", "k",
                bytes("\xE9\0\xFF"));
        readRow("values cut to 254 bytes", "[S]\nk=" + QByteArray(300, 'v'), "S", "k",
                QByteArray(254, 'v'));
    }
    void readString() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QTEST(profile::readString(content, section, key), "expected");
    }

    void writeString_data() {
        columns<QByteArray, QByteArray, QByteArray, QByteArray, QByteArray>(
            {"content", "section", "key", "value", "expected"});
        writeRow("new file is [Section] CR LF key=value CR LF", {}, " S\t", "\tk ", "2",
                 "[S]\r\nk=2\r\n");
        writeRow("only the key's value changes, spelling and blanks kept",
                 "; top\r\n[s]\r\n  K \t= \"old\" \r\nx y\r\n[T]\r\nk=t\r\n", "S", "k", "new",
                 "; top\r\n[s]\r\n  K \t= new\r\nx y\r\n[T]\r\nk=t\r\n");
        writeRow("line ends of a mixed file kept", "[S]\r\nk=1\na=2\rb=3\r\n", "S", "k", "9",
                 "[S]\r\nk=9\na=2\rb=3\r\n");
        writeRow("last line without line end stays without", "[S]\nk=1", "S", "k", "22",
                 "[S]\nk=22");
        writeRow("new key after the last key line of its section", "[S]\na=1\n\n; next\n[T]\nc=3\n",
                 "S", "k", "v", "[S]\na=1\nk=v\n\n; next\n[T]\nc=3\n");
        writeRow("new key in a section without keys goes after the header", "[S]\n;k=1\n[T]\n", "S",
                 "k", "v", "[S]\nk=v\n;k=1\n[T]\n");
        writeRow("key before the first section left alone", "k=1\n[S]\n", "S", "k", "2",
                 "k=1\n[S]\nk=2\n");
        writeRow("new key after a last line without line end", "[S]\na=1", "S", "k", "v",
                 "[S]\na=1\nk=v\n");
        writeRow("new key after a last header without line end", "[S]", "S", "k", "v",
                 "[S]\r\nk=v\r\n");
        writeRow("new key in a CR file ends in CR", "[S]\ra=1\r", "S", "k", "v", "[S]\ra=1\rk=v\r");
        writeRow("new section appended after adding the missing line end", "[S]\na=1", "LCD", "BL",
                 "155", "[S]\na=1\n[LCD]\nBL=155\n");
        writeRow("byte-order mark kept", Bom + "[S]\r\nk=1\r\n", "S", "k", "2",
                 Bom + "[S]\r\nk=2\r\n");
        writeRow("binary lines around the key kept", bytes("\0\xFF\n[S]\n\x80\0=\x7F\nk=1\n\0"),
                 "S", "k", "2", bytes("\0\xFF\n[S]\n\x80\0=\x7F\nk=2\n\0"));
        // Refused: the triple would not read back, so the content stays as it was.
        const QByteArray file = "[S]\r\nk=0\r\n";
        writeRow("value with LF would add a line", file, "S", "k", "1\n[X]", file);
        writeRow("empty section name", file, " ", "k", "1", file);
        writeRow("section name with ]", file, "S]x", "k", "1", file);
        writeRow("key name with =", file, "S", "a=b", "1", file);
        writeRow("key name that reads as a comment", file, "S", ";k", "1", file);
    }
    void writeString() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QTEST(profile::writeString(content, section, key, value), "expected");
    }

    void lineOfAndSection() {
        const QByteArray file = "[Ports]\n2=/dev/b\n; c\n1 = \"/dev/a\"\nA=x\na=y\n[LCD]\nBL=9\n";
        QCOMPARE(profile::lineOf(file, "ports", "1"), 4);
        QCOMPARE(profile::lineOf(file, "LCD", "none"), 0);
        QList<QByteArray> flat;
        for (const auto &[key, value] : profile::readSection(file, "Ports"))
            flat << key << value;
        QCOMPARE(flat, (QList<QByteArray>{"2", "/dev/b", "1", "/dev/a", "A", "x"}));
        QVERIFY(profile::readSection(file, "none").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstProfile)
#include "tst_profile.moc"
