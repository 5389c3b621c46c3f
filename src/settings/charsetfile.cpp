#include "settings/charsetfile.h"

#include "settings/profile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// The eight rows of one character, or the reason the value is none.
std::optional<QString> readRows(const QByteArray &value, int character, std::uint8_t *rows) {
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
                .arg(QString::fromLatin1(fields[r]))
                .arg(character);
        if (v > FullCharRow)
            return QStringLiteral("0x%1 in character %2 is over 0x1F: a row has five pixels")
                .arg(v, 2, 16, QLatin1Char('0'))
                .arg(character);
        rows[r] = static_cast<std::uint8_t>(v);
    }
    return std::nullopt;
}

bool hasSection(QByteArrayView content, QByteArrayView section) {
    return !profile::readSection(content, section).isEmpty();
}

} // namespace

ReadResult parse(QByteArrayView content) {
    if (!hasSection(content, CharactersSection))
        return refused(QStringLiteral("The file has no [Characters] section with keys 0 to 7: "
                                      "it is not a character set."));
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
    if (hasSection(content, StartupSection)) {
        std::array<QString, 2> rows;
        for (int r = 0; r < 2; ++r) {
            const QByteArray text = profile::readString(content, StartupSection, RowKeys[r]);
            if (text.size() > StartupRowLength)
                return refused(QStringLiteral("%1: startup row %2 has %3 characters; a row holds "
                                              "at most %4.")
                                   .arg(where(content, StartupSection, RowKeys[r]))
                                   .arg(r)
                                   .arg(text.size())
                                   .arg(StartupRowLength));
            rows[static_cast<std::size_t>(r)] = QString::fromLatin1(text);
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
                    (*set.startup)[static_cast<std::size_t>(r)].toLatin1() + "\"\n";
    }
    return text;
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
                           .arg(path)
                           .arg(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1 cannot be read: %2.").arg(path, file.errorString()));
    const ReadResult result = parse(file.read(MaxFileSize + 1));
    if (!result.set)
        return refused(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), result.problem));
    return result;
}

QString writeFile(const QString &path, const CharacterSet &set) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(format(set)) < 0 || !file.commit())
        return QStringLiteral("%1 cannot be written: %2.").arg(path, file.errorString());
    return {};
}

} // namespace torvika::charset
