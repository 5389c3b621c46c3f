#include "settings/charsetfile.h"

#include "settings/profile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace torvika::charset {

namespace {

using protocol::CharRows;
using protocol::FullCharRow;
using protocol::StartupRowLength;
using protocol::UserChars;

constexpr QByteArrayView CharactersSection = "Characters";
constexpr QByteArrayView StartupSection = "Startup";
const char *const RowKeys[] = {"Row0", "Row1"};

ReadResult refused(QString why) {
    return {std::nullopt, std::move(why)};
}

QString where(QByteArrayView content, QByteArrayView section, QByteArrayView key) {
    return QStringLiteral("Line %1").arg(profile::lineOf(content, section, key));
}

QString decoded(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Default);
    return decoder.decode(bytes);
}

// The file's text as UTF-8, whichever editor wrote it: a byte-order mark names UTF-8 or
// UTF-16; UTF-16 without one shows by a zero byte in its first character; bytes that are no
// UTF-8 are taken as Latin-1, as Windows editors wrote before UTF-8.
QByteArray asUtf8(QByteArrayView bytes) {
    using E = QStringConverter::Encoding;
    if (bytes.startsWith("\xFF\xFE") || (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0))
        return decoded(bytes, E::Utf16LE).toUtf8();
    if (bytes.startsWith("\xFE\xFF") || (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0))
        return decoded(bytes, E::Utf16BE).toUtf8();
    QStringDecoder utf8(E::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes).toUtf8() : text.toUtf8();
}

// The eight rows of one character, or the reason the value is none.
std::optional<QString> readRows(QByteArray value, int character, std::uint8_t *rows) {
    // A ';' after the values starts a comment, as on a line of its own.
    if (const qsizetype comment = value.indexOf(';'); comment >= 0)
        value.truncate(comment);
    const QList<QByteArray> fields = value.simplified().split(' ');
    if (value.trimmed().isEmpty() || fields.size() != CharRows)
        return QStringLiteral("character %1 has %2 values; it needs eight hex bytes, top row "
                              "first")
            .arg(character)
            .arg(value.trimmed().isEmpty() ? 0 : fields.size());
    for (int r = 0; r < CharRows; ++r) {
        bool ok = false;
        const uint v = fields[r].size() <= 2 ? fields[r].toUInt(&ok, 16) : 0;
        if (!ok)
            return QStringLiteral("\"%1\" in character %2 is not a hex byte")
                .arg(QString::fromUtf8(fields[r].left(20)), QString::number(character));
        if (v > FullCharRow)
            return QStringLiteral("0x%1 in character %2 is over 0x1F: a row has five pixels")
                .arg(QString::number(v, 16).toUpper())
                .arg(character);
        rows[r] = static_cast<std::uint8_t>(v);
    }
    return std::nullopt;
}

bool isCharacterKey(const QByteArray &key) {
    return key.size() == 1 && key[0] >= '0' && key[0] < '0' + UserChars;
}

} // namespace

ReadResult parse(QByteArrayView bytes) {
    const QByteArray content = asUtf8(bytes);
    const auto keys = profile::readSection(content, CharactersSection);
    if (keys.isEmpty())
        return refused(QStringLiteral("The file has no [Characters] section with keys 0 to 7: "
                                      "it is not a character set."));
    for (const auto &[key, value] : keys)
        if (!isCharacterKey(key))
            return refused(
                QStringLiteral("%1: [Characters] has the key \"%2\"; its keys are 0 "
                               "to 7.")
                    .arg(where(content, CharactersSection, key), QString::fromUtf8(key.left(20))));
    CharacterSet set;
    for (int c = 0; c < UserChars; ++c) {
        const QByteArray key = QByteArray::number(c);
        if (profile::lineOf(content, CharactersSection, key) == 0)
            return refused(QStringLiteral("Character %1 is missing: [Characters] needs the keys "
                                          "0 to 7.")
                               .arg(c));
        const QByteArray value = profile::readString(content, CharactersSection, key);
        if (const auto why = readRows(value, c, set.chars.data() + c * CharRows))
            return refused(
                QStringLiteral("%1: %2.").arg(where(content, CharactersSection, key), *why));
    }
    if (!profile::readSection(content, StartupSection).isEmpty()) {
        std::array<QString, 2> rows;
        for (int r = 0; r < 2; ++r) {
            const QString text =
                QString::fromUtf8(profile::readString(content, StartupSection, RowKeys[r]));
            if (text.size() > StartupRowLength)
                return refused(QStringLiteral("%1: startup row %2 is longer than %3 characters.")
                                   .arg(where(content, StartupSection, RowKeys[r]))
                                   .arg(r)
                                   .arg(StartupRowLength));
            rows[static_cast<std::size_t>(r)] = text;
        }
        set.startup = rows;
    }
    return {set, {}};
}

QByteArray format(const CharacterSet &set) {
    QByteArray text = "; TORVIKA character set\n[Characters]\n";
    for (int c = 0; c < UserChars; ++c) {
        const QByteArray rows(reinterpret_cast<const char *>(set.chars.data()) + c * CharRows,
                              CharRows);
        text += QByteArray::number(c) + '=' + rows.toHex(' ').toUpper() + '\n';
    }
    if (set.startup) {
        text += "[Startup]\n";
        for (int r = 0; r < 2; ++r)
            text += QByteArray(RowKeys[r]) + "=\"" +
                    (*set.startup)[static_cast<std::size_t>(r)].toUtf8() + "\"\n";
    }
    return text;
}

QString unwritable(const CharacterSet &set) {
    for (int c = 0; c < UserChars * CharRows; ++c)
        if (set.chars[static_cast<std::size_t>(c)] > FullCharRow)
            return QStringLiteral("Character %1 has a row over 0x1F.").arg(c / CharRows);
    if (!set.startup)
        return {};
    for (int r = 0; r < 2; ++r) {
        const QString &row = (*set.startup)[static_cast<std::size_t>(r)];
        if (row.size() > StartupRowLength)
            return QStringLiteral("Startup row %1 is longer than %2 characters.")
                .arg(r)
                .arg(StartupRowLength);
        if (row.contains(u'\n') || row.contains(u'\r'))
            return QStringLiteral("Startup row %1 holds a line break, which the file cannot "
                                  "carry.")
                .arg(r);
    }
    return {};
}

ReadResult readFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return refused(QStringLiteral("%1 does not exist.").arg(path));
    if (!info.isFile())
        return refused(QStringLiteral("%1 is not a file.").arg(path));
    if (info.size() > MaxFileSize)
        return refused(QStringLiteral("%1 is %2 bytes long; a character set file is far "
                                      "smaller.")
                           .arg(path, QString::number(info.size())));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1 cannot be read: %2.").arg(path, file.errorString()));
    const ReadResult result = parse(file.read(MaxFileSize + 1));
    if (!result.set)
        return refused(QStringLiteral("%1: %2").arg(info.fileName(), result.problem));
    return result;
}

QString writeFile(const QString &path, const CharacterSet &set) {
    if (const QString why = unwritable(set); !why.isEmpty())
        return why;
    return writeWhole(path, format(set));
}

QString writeWhole(const QString &path, const QByteArray &content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) < 0 || !file.commit())
        return QStringLiteral("%1 cannot be written: %2.").arg(path, file.errorString());
    return {};
}

} // namespace torvika::charset
