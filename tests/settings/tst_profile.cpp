#include "settings/profile.h"

#include <QTest>

using namespace torvika;
using namespace Qt::StringLiterals;

namespace {

// Literal bytes, NULs included.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

const QByteArray Bom = bytes("\xEF\xBB\xBF");

} // namespace

class TstProfile : public QObject {
    Q_OBJECT

private slots:
    void readString_data();
    void readString();
    void lineEndingsReadAlike_data();
    void lineEndingsReadAlike();
    void longValuesAreCut_data();
    void longValuesAreCut();
    void writeString_data();
    void writeString();
    void refusedWriteKeepsContent_data();
    void refusedWriteKeepsContent();
    void writtenValueReadsBack_data();
    void writtenValueReadsBack();
    void readSection_data();
    void readSection();
};

void TstProfile::readString_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray settings = "[Settings]\r\nCommPort=2\r\nSetting=19200,n,8,1\r\n"
                                "[LCD]\r\nBL=155\r\n";
    QTest::newRow("key of the first section") << settings << "Settings"_ba
                                              << "CommPort"_ba
                                              << "2"_ba;
    QTest::newRow("key of a later section") << settings << "LCD"_ba
                                            << "BL"_ba
                                            << "155"_ba;
    QTest::newRow("section name without regard to case") << settings << "sEtTiNgS"_ba
                                                         << "Setting"_ba
                                                         << "19200,n,8,1"_ba;
    QTest::newRow("key name without regard to case") << settings << "Settings"_ba
                                                     << "COMMPORT"_ba
                                                     << "2"_ba;
    QTest::newRow("names in the file without regard to case") << "[SETTINGS]\nCOMMPORT=4\n"_ba
                                                              << "Settings"_ba
                                                              << "CommPort"_ba
                                                              << "4"_ba;
    QTest::newRow("blanks and tabs around the key and = ignored") << "[S]\n \t key \t=\t 7\n"_ba
                                                                  << "S"_ba
                                                                  << "key"_ba
                                                                  << "7"_ba;
    QTest::newRow("blanks and tabs inside the brackets ignored") << "  [ \tS \t]\nk=1\n"_ba
                                                                 << "S"_ba
                                                                 << "k"_ba
                                                                 << "1"_ba;
    QTest::newRow("blanks around the names asked for ignored") << "[S]\nk=1\n"_ba
                                                               << " S\t"_ba
                                                               << "\tk "_ba
                                                               << "1"_ba;
    QTest::newRow("blanks inside the value kept") << "[S]\nk=a  b\tc\n"_ba
                                                  << "S"_ba
                                                  << "k"_ba
                                                  << "a  b\tc"_ba;
    QTest::newRow("blanks after the value dropped") << "[S]\nk=9600 \t\n"_ba
                                                    << "S"_ba
                                                    << "k"_ba
                                                    << "9600"_ba;
    QTest::newRow("blank inside a key name is part of it") << "[S]\nComm Port=3\n"_ba
                                                           << "S"_ba
                                                           << "Comm Port"_ba
                                                           << "3"_ba;
    QTest::newRow("= inside the value kept") << "[S]\nk=a=b\n"_ba
                                             << "S"_ba
                                             << "k"_ba
                                             << "a=b"_ba;
    QTest::newRow("double quotes around the value removed") << "[S]\nk=\"a b\"\n"_ba
                                                            << "S"_ba
                                                            << "k"_ba
                                                            << "a b"_ba;
    QTest::newRow("single quotes around the value removed") << "[S]\nk='a b'\n"_ba
                                                            << "S"_ba
                                                            << "k"_ba
                                                            << "a b"_ba;
    QTest::newRow("blanks inside the quotes kept") << "[S]\nk= \" x \" \n"_ba
                                                   << "S"_ba
                                                   << "k"_ba
                                                   << " x "_ba;
    QTest::newRow("only one pair of quotes removed") << "[S]\nk=\"\"x\"\"\n"_ba
                                                     << "S"_ba
                                                     << "k"_ba
                                                     << "\"x\""_ba;
    QTest::newRow("quotes that do not match kept") << "[S]\nk=\"x'\n"_ba
                                                   << "S"_ba
                                                   << "k"_ba
                                                   << "\"x'"_ba;
    QTest::newRow("a lone quote kept") << "[S]\nk=\"\n"_ba
                                       << "S"_ba
                                       << "k"_ba
                                       << "\""_ba;
    QTest::newRow("quotes not around the whole value kept") << "[S]\nk=\"a\" b\n"_ba
                                                            << "S"_ba
                                                            << "k"_ba
                                                            << "\"a\" b"_ba;
    QTest::newRow("a pair of quotes alone is an empty value") << "[S]\nk=\"\"\n"_ba
                                                              << "S"_ba
                                                              << "k"_ba
                                                              << ""_ba;
    QTest::newRow("line starting with ; is a comment") << "[S]\n;k=1\nk=2\n"_ba
                                                       << "S"_ba
                                                       << "k"_ba
                                                       << "2"_ba;
    QTest::newRow("indented ; line is a comment") << "[S]\n \t;k=1\n"_ba
                                                  << "S"_ba
                                                  << "k"_ba
                                                  << ""_ba;
    QTest::newRow("# starts no comment") << "[S]\n#k=1\n"_ba
                                         << "S"_ba
                                         << "#k"_ba
                                         << "1"_ba;
    QTest::newRow("; after a value is part of it") << "[S]\nCommPort=1 ; main\n"_ba
                                                   << "S"_ba
                                                   << "CommPort"_ba
                                                   << "1 ; main"_ba;
    QTest::newRow("line without = is no key") << "[S]\nk\n"_ba
                                              << "S"_ba
                                              << "k"_ba
                                              << ""_ba;
    QTest::newRow("key after a line without = found") << "[S]\nk\nk=5\n"_ba
                                                      << "S"_ba
                                                      << "k"_ba
                                                      << "5"_ba;
    QTest::newRow("key before the first section cannot be read") << "k=1\n[S]\n"_ba
                                                                 << "S"_ba
                                                                 << "k"_ba
                                                                 << ""_ba;
    QTest::newRow("section header ends at its first ]") << "[S]x]\nk=1\n"_ba
                                                        << "S"_ba
                                                        << "k"_ba
                                                        << "1"_ba;
    QTest::newRow("text after the first ] is no part of the name") << "[S]x]\nk=1\n"_ba
                                                                   << "S]x"_ba
                                                                   << "k"_ba
                                                                   << ""_ba;
    QTest::newRow("comment after a header ignored") << "[S] ; serial\nk=1\n"_ba
                                                    << "S"_ba
                                                    << "k"_ba
                                                    << "1"_ba;
    QTest::newRow("[ without ] opens the section the line names") << "[S]\n[ T \nk=1\n"_ba
                                                                  << "T"_ba
                                                                  << "k"_ba
                                                                  << "1"_ba;
    QTest::newRow("first of duplicate keys wins") << "[S]\nk=1\nK=2\n"_ba
                                                  << "S"_ba
                                                  << "k"_ba
                                                  << "1"_ba;
    QTest::newRow("only the first of duplicate sections searched")
        << "[S]\na=1\n[T]\nb=2\n[s]\nb=3\n"_ba
        << "S"_ba
        << "b"_ba
        << ""_ba;
    QTest::newRow("key of another section not found") << "[S]\nk=1\n[T]\nj=2\n"_ba
                                                      << "T"_ba
                                                      << "k"_ba
                                                      << ""_ba;
    QTest::newRow("missing section") << settings << "Ports"_ba
                                     << "1"_ba
                                     << ""_ba;
    QTest::newRow("missing key") << settings << "LCD"_ba
                                 << "Contrast"_ba
                                 << ""_ba;
    QTest::newRow("present but empty value") << "[S]\nk=\n"_ba
                                             << "S"_ba
                                             << "k"_ba
                                             << ""_ba;
    QTest::newRow("value of blanks only is empty") << "[S]\nk=  \t \n"_ba
                                                   << "S"_ba
                                                   << "k"_ba
                                                   << ""_ba;
    QTest::newRow("empty content") << QByteArray() << "S"_ba
                                   << "k"_ba
                                   << ""_ba;
    QTest::newRow("empty key asked for") << "[S]\n=1\n"_ba
                                         << "S"_ba
                                         << ""_ba
                                         << ""_ba;
    QTest::newRow("byte-order mark skipped") << Bom + "[Settings]\r\nCommPort=3\r\n"
                                             << "Settings"_ba
                                             << "CommPort"_ba
                                             << "3"_ba;
    QTest::newRow("bytes above 127 kept") << bytes("[S]\nk=\xE9t\xE9\xFF\n") << "S"_ba
                                          << "k"_ba << bytes("\xE9t\xE9\xFF");
    QTest::newRow("NUL bytes in other lines do not stop the search")
        << bytes("[S]\n\0\0\x01\x02garbage\nk=1\n") << "S"_ba
        << "k"_ba
        << "1"_ba;
    QTest::newRow("NUL byte inside a value kept") << bytes("[S]\nk=a\0b\n") << "S"_ba
                                                  << "k"_ba << bytes("a\0b");
}

void TstProfile::readString() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(profile::readString(content, section, key), expected);
}

void TstProfile::lineEndingsReadAlike_data() {
    QTest::addColumn<QByteArray>("content");
    const char *lines[] = {"; saved settings", "[Settings]", "CommPort=2", "", "[LCD]", "BL=155"};
    for (const auto &[name, end] : {std::pair{"CR LF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}}) {
        QByteArray content;
        for (const char *line : lines)
            content.append(line).append(end);
        QTest::addRow("%s file", name) << content;
        content.chop(qstrlen(end));
        QTest::addRow("%s file without final line end", name) << content;
    }
}

void TstProfile::lineEndingsReadAlike() {
    QFETCH(QByteArray, content);
    QCOMPARE(profile::readString(content, "Settings", "CommPort"), "2"_ba);
    QCOMPARE(profile::readString(content, "LCD", "BL"), "155"_ba);
}

void TstProfile::longValuesAreCut_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedLength");
    QTest::newRow("253 characters kept") << 253 << 253;
    QTest::newRow("254 characters kept") << 254 << 254;
    QTest::newRow("255 characters cut to 254") << 255 << 254;
    QTest::newRow("300 characters cut to 254") << 300 << 254;
    QTest::newRow("a 1 MB line cut to 254") << (1 << 20) << 254;
}

void TstProfile::longValuesAreCut() {
    QFETCH(int, length);
    QFETCH(int, expectedLength);
    QByteArray value;
    for (int i = 0; i < length; ++i)
        value.append(char('a' + i % 26));
    const QByteArray content = "[S]\r\nk=" + value + "\r\n";
    QCOMPARE(profile::readString(content, "S", "k"), value.first(expectedLength));
}

void TstProfile::writeString_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new file is [Section] CR LF key=value CR LF")
        << QByteArray() << "Settings"_ba
        << "CommPort"_ba
        << "2"_ba
        << "[Settings]\r\nCommPort=2\r\n"_ba;
    QTest::newRow("file of a byte-order mark only keeps it") << Bom << "S"_ba
                                                             << "k"_ba
                                                             << "v"_ba << Bom + "[S]\r\nk=v\r\n";
    QTest::newRow("only the key's line changes")
        << "; top\r\n[S]\r\na=1\r\n\r\nk=old\r\nx y z\r\nb=2\r\n[T]\r\nk=t\r\n"_ba
        << "S"_ba
        << "k"_ba
        << "new"_ba
        << "; top\r\n[S]\r\na=1\r\n\r\nk=new\r\nx y z\r\nb=2\r\n[T]\r\nk=t\r\n"_ba;
    QTest::newRow("key keeps its spelling in the file") << "[settings]\r\nCOMMPORT=1\r\n"_ba
                                                        << "Settings"_ba
                                                        << "CommPort"_ba
                                                        << "5"_ba
                                                        << "[settings]\r\nCOMMPORT=5\r\n"_ba;
    QTest::newRow("indent and blanks around = kept") << "[S]\n  k \t= 1\n"_ba
                                                     << "S"_ba
                                                     << "k"_ba
                                                     << "2"_ba
                                                     << "[S]\n  k \t= 2\n"_ba;
    QTest::newRow("old value with its trailing blanks replaced") << "[S]\nk=old value  \t\n"_ba
                                                                 << "S"_ba
                                                                 << "k"_ba
                                                                 << "v"_ba
                                                                 << "[S]\nk=v\n"_ba;
    QTest::newRow("old quoted value replaced whole") << "[S]\nk=\"a b\"\n"_ba
                                                     << "S"_ba
                                                     << "k"_ba
                                                     << "c"_ba
                                                     << "[S]\nk=c\n"_ba;
    QTest::newRow("value written as given") << "[S]\nk=1\n"_ba
                                            << "S"_ba
                                            << "k"_ba
                                            << " \"x ; y\" "_ba
                                            << "[S]\nk= \"x ; y\" \n"_ba;
    QTest::newRow("empty value written") << "[S]\nk=1\n"_ba
                                         << "S"_ba
                                         << "k"_ba
                                         << ""_ba
                                         << "[S]\nk=\n"_ba;
    QTest::newRow("line ends of a mixed file kept") << "[S]\r\nk=1\na=2\rb=3\r\n"_ba
                                                    << "S"_ba
                                                    << "k"_ba
                                                    << "9"_ba
                                                    << "[S]\r\nk=9\na=2\rb=3\r\n"_ba;
    QTest::newRow("changed last line without line end gets the file's") << "[S]\r\nk=1"_ba
                                                                        << "S"_ba
                                                                        << "k"_ba
                                                                        << "22"_ba
                                                                        << "[S]\r\nk=22\r\n"_ba;
    QTest::newRow("only the first of duplicate keys changes") << "[S]\nk=1\nk=2\n"_ba
                                                              << "S"_ba
                                                              << "k"_ba
                                                              << "9"_ba
                                                              << "[S]\nk=9\nk=2\n"_ba;
    QTest::newRow("key of the first of duplicate sections changes")
        << "[S]\n[T]\nk=t\n[S]\nk=1\n"_ba
        << "S"_ba
        << "k"_ba
        << "9"_ba
        << "[S]\nk=9\n[T]\nk=t\n[S]\nk=1\n"_ba;
    QTest::newRow("new key right after the last key line of its section")
        << "[S]\na=1\nb=2\n\n; next\n[T]\nc=3\n"_ba
        << "S"_ba
        << "k"_ba
        << "v"_ba
        << "[S]\na=1\nb=2\nk=v\n\n; next\n[T]\nc=3\n"_ba;
    QTest::newRow("new key after a key line of the last section") << "[S]\na=1\n\n"_ba
                                                                  << "S"_ba
                                                                  << "k"_ba
                                                                  << "v"_ba
                                                                  << "[S]\na=1\nk=v\n\n"_ba;
    QTest::newRow("new key in a section without keys goes after the header")
        << "[S]\n; none yet\n[T]\n"_ba
        << "S"_ba
        << "k"_ba
        << "v"_ba
        << "[S]\nk=v\n; none yet\n[T]\n"_ba;
    QTest::newRow("commented key is no key: new line added") << "[S]\n;k=1\n"_ba
                                                             << "S"_ba
                                                             << "k"_ba
                                                             << "2"_ba
                                                             << "[S]\nk=2\n;k=1\n"_ba;
    QTest::newRow("line without = is no key: new line added") << "[S]\na=1\nk\n"_ba
                                                              << "S"_ba
                                                              << "k"_ba
                                                              << "2"_ba
                                                              << "[S]\na=1\nk=2\nk\n"_ba;
    QTest::newRow("key before the first section left alone") << "k=1\n[S]\n"_ba
                                                             << "S"_ba
                                                             << "k"_ba
                                                             << "2"_ba
                                                             << "k=1\n[S]\nk=2\n"_ba;
    QTest::newRow("new key after a last key line without line end") << "[S]\na=1"_ba
                                                                    << "S"_ba
                                                                    << "k"_ba
                                                                    << "v"_ba
                                                                    << "[S]\na=1\nk=v\n"_ba;
    QTest::newRow("new key after a last header without line end") << "[S]"_ba
                                                                  << "S"_ba
                                                                  << "k"_ba
                                                                  << "v"_ba
                                                                  << "[S]\r\nk=v\r\n"_ba;
    QTest::newRow("new key in a CR file ends in CR") << "[S]\ra=1\r"_ba
                                                     << "S"_ba
                                                     << "k"_ba
                                                     << "v"_ba
                                                     << "[S]\ra=1\rk=v\r"_ba;
    QTest::newRow("new key in a CR LF file ends in CR LF") << "[S]\r\na=1\r\n"_ba
                                                           << "S"_ba
                                                           << "k"_ba
                                                           << "v"_ba
                                                           << "[S]\r\na=1\r\nk=v\r\n"_ba;
    QTest::newRow("new section appended at the end") << "[S]\r\na=1\r\n\r\n"_ba
                                                     << "LCD"_ba
                                                     << "BL"_ba
                                                     << "155"_ba
                                                     << "[S]\r\na=1\r\n\r\n[LCD]\r\nBL=155\r\n"_ba;
    QTest::newRow("new section after adding the missing line end")
        << "[S]\na=1"_ba
        << "LCD"_ba
        << "BL"_ba
        << "155"_ba
        << "[S]\na=1\n[LCD]\nBL=155\n"_ba;
    QTest::newRow("new section in a CR file") << "[S]\ra=1\r"_ba
                                              << "T"_ba
                                              << "k"_ba
                                              << "v"_ba
                                              << "[S]\ra=1\r[T]\rk=v\r"_ba;
    QTest::newRow("file of comments only gets the section at the end")
        << "; nothing\n"_ba
        << "S"_ba
        << "k"_ba
        << "v"_ba
        << "; nothing\n[S]\nk=v\n"_ba;
    QTest::newRow("names written without their surrounding blanks") << QByteArray() << " S\t"_ba
                                                                    << "\tk "_ba
                                                                    << "v"_ba
                                                                    << "[S]\r\nk=v\r\n"_ba;
    QTest::newRow("byte-order mark kept") << Bom + "[S]\r\nk=1\r\n"
                                          << "S"_ba
                                          << "k"_ba
                                          << "2"_ba << Bom + "[S]\r\nk=2\r\n";
    QTest::newRow("binary lines around the key kept")
        << bytes("\0\xFF\x01\n[S]\n\x80\0=\x7F\nk=1\n\0") << "S"_ba
        << "k"_ba
        << "2"_ba << bytes("\0\xFF\x01\n[S]\n\x80\0=\x7F\nk=2\n\0");
}

void TstProfile::writeString() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(profile::writeString(content, section, key, value), expected);
}

void TstProfile::refusedWriteKeepsContent_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("value with LF would add a line") << "S"_ba
                                                    << "k"_ba
                                                    << "1\n[X]"_ba;
    QTest::newRow("value with CR would add a line") << "S"_ba
                                                    << "k"_ba
                                                    << "1\rz=2"_ba;
    QTest::newRow("key with line end") << "S"_ba
                                       << "k\n"_ba
                                       << "1"_ba;
    QTest::newRow("section with line end") << "S\r\n"_ba
                                           << "k"_ba
                                           << "1"_ba;
    QTest::newRow("empty section name") << " "_ba
                                        << "k"_ba
                                        << "1"_ba;
    QTest::newRow("empty key name") << "S"_ba
                                    << "\t"_ba
                                    << "1"_ba;
    QTest::newRow("section name with ] cannot be read back") << "S]x"_ba
                                                             << "k"_ba
                                                             << "1"_ba;
    QTest::newRow("key name with = cannot be read back") << "S"_ba
                                                         << "a=b"_ba
                                                         << "1"_ba;
    QTest::newRow("key name that reads as a comment") << "S"_ba
                                                      << ";k"_ba
                                                      << "1"_ba;
    QTest::newRow("key name that reads as a header") << "S"_ba
                                                     << "[k]"_ba
                                                     << "1"_ba;
}

void TstProfile::refusedWriteKeepsContent() {
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    const QByteArray content = "[S]\r\nk=0\r\n";
    QVERIFY(!profile::canWrite(section, key, value));
    QCOMPARE(profile::writeString(content, section, key, value), content);
    QCOMPARE(profile::writeString(QByteArray(), section, key, value), QByteArray());
}

void TstProfile::writtenValueReadsBack_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray others = "[S]\r\na=1\r\n[T]\r\nb=2\r\n";
    QTest::newRow("into an empty file") << QByteArray();
    QTest::newRow("into a file of other sections") << others;
    QTest::newRow("over an existing key") << "[S]\r\nk=old\r\n"_ba + others;
    QTest::newRow("into an LF file without final line end") << "[T]\nb=2\n[S]\na=1"_ba;
    QTest::newRow("into a file of binary bytes") << bytes("\x01\0\xFE\r\r\n\0]\n[\n=");
}

void TstProfile::writtenValueReadsBack() {
    QFETCH(QByteArray, content);
    const QByteArray values[] = {"19200,n,8,1"_ba, "a = b ; c"_ba, bytes("\xE9\xFF\0x")};
    for (const QByteArray &value : values) {
        const QByteArray written = profile::writeString(content, "S", "k", value);
        QCOMPARE(profile::readString(written, "S", "k"), value);
        QCOMPARE(profile::readString(written, "S", "a"), profile::readString(content, "S", "a"));
        QCOMPARE(profile::readString(written, "T", "b"), profile::readString(content, "T", "b"));
    }
}

void TstProfile::readSection_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QList<QByteArray>>("expected"); // key, value, key, value...

    QTest::newRow("keys in file order with their values")
        << "[Ports]\n2=/dev/ttyUSB1\n1 = /dev/ttyUSB0\n"_ba
        << "Ports"_ba << QList<QByteArray>{"2", "/dev/ttyUSB1", "1", "/dev/ttyUSB0"};
    QTest::newRow("comments, lines without = and other sections skipped")
        << "[Settings]\nCommPort=1\n[ports]\n; usb\nnoise\n1=\"/dev/ttyACM0\"\n[LCD]\nBL=9\n"_ba
        << "Ports"_ba << QList<QByteArray>{"1", "/dev/ttyACM0"};
    QTest::newRow("first of repeated keys only") << "[Ports]\nA=1\na=2\n[Ports]\nb=3\n"_ba
                                                 << "Ports"_ba << QList<QByteArray>{"A", "1"};
    QTest::newRow("missing section") << "[LCD]\nBL=9\n"_ba
                                     << "Ports"_ba << QList<QByteArray>{};
}

void TstProfile::readSection() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QList<QByteArray>, expected);
    QList<QByteArray> flat;
    for (const auto &[key, value] : profile::readSection(content, section))
        flat << key << value;
    QCOMPARE(flat, expected);
}

QTEST_GUILESS_MAIN(TstProfile)
#include "tst_profile.moc"
