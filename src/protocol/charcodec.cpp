#include "protocol/charcodec.h"

#include "protocol/hex.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace torvika::protocol {

namespace {

constexpr int Columns = 5;

QByteArrayView bytesOf(const CharBitmap &rows) {
    return {reinterpret_cast<const char *>(rows.data()), static_cast<qsizetype>(rows.size())};
}

// Comments of C and C++ carry no rows.
QString withoutComments(QString text) {
    static const QRegularExpression comments(QStringLiteral(R"(//[^\n]*|/\*.*?(\*/|$))"),
                                             QRegularExpression::DotMatchesEverythingOption);
    return text.replace(comments, QStringLiteral(" "));
}

bool allOf(QStringView s, QStringView allowed) {
    return !s.isEmpty() &&
           std::all_of(s.begin(), s.end(), [&](QChar c) { return allowed.contains(c); });
}

QString shown(QStringView token) {
    return token.size() > 20 ? token.first(20).toString() + QStringLiteral("...")
                             : token.toString();
}

// What lies inside the outermost pair of `open` and `close`, or nothing when `open` is absent.
std::optional<QString> inside(const QString &text, QChar open, QChar close) {
    const qsizetype from = text.indexOf(open);
    if (from < 0)
        return std::nullopt;
    const qsizetype to = text.lastIndexOf(close);
    return to > from ? text.sliced(from + 1, to - from - 1) : text.sliced(from + 1);
}

// The part that holds the values: inside the outermost braces (C), else brackets (Python;
// a C declaration's "[8]" comes before its braces), else after a declaration's '=', else all.
QString valuePart(const QString &text) {
    if (auto braces = inside(text, u'{', u'}'))
        return *braces;
    if (auto brackets = inside(text, u'[', u']'))
        return *brackets;
    const qsizetype equals = text.lastIndexOf(u'=');
    return equals >= 0 ? text.sliced(equals + 1) : text;
}

// A list of two-digit values is hex when blanks alone separate them, or when one of them
// cannot be decimal or is written with a leading zero, as hex dumps are: "00,0A,1F".
bool isHexList(const QString &values, const QStringList &tokens) {
    static const QRegularExpression hexPair(QStringLiteral("^[0-9A-Fa-f]{2}$"));
    static const QRegularExpression hexLike(QStringLiteral("^(0.|.?[A-Fa-f].?)$"));
    const auto all = [&](const QRegularExpression &re) {
        return std::all_of(tokens.begin(), tokens.end(),
                           [&](const QString &t) { return re.match(t).hasMatch(); });
    };
    const auto any = [&](const QRegularExpression &re) {
        return std::any_of(tokens.begin(), tokens.end(),
                           [&](const QString &t) { return re.match(t).hasMatch(); });
    };
    return !tokens.isEmpty() && all(hexPair) && (!values.contains(u',') || any(hexLike));
}

// C's integer suffixes (0x0Au, 31UL) say nothing about the value.
QStringView withoutSuffix(QStringView token) {
    static const QRegularExpression suffixed(
        QStringLiteral("^(0[xXbB][0-9A-Fa-f]+|[0-9]+)[uUlL]{1,3}$"));
    if (!suffixed.match(token).hasMatch())
        return token;
    while (QStringView(u"uUlL").contains(token.back()))
        token.chop(1);
    return token;
}

// Art drawn with '*' (or '#') for lit pixels and blanks (or '.') for unlit ones, one line a
// row. Blanks carry the pixels here, so the lines are read whole; an editor may have dropped
// the blanks at a line's end, and a last line break ends the last row.
std::optional<ParsedChar> starArt(const QString &text) {
    if (!text.contains(u'*') || !allOf(text, u"*#. \r\n"))
        return std::nullopt;
    QStringList lines = QString(text)
                            .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                            .replace(u'\r', u'\n')
                            .split(u'\n');
    while (lines.size() > CharRows && lines.back().trimmed().isEmpty())
        lines.removeLast();
    if (lines.size() != CharRows)
        return ParsedChar{std::nullopt, QStringLiteral("Found %1 lines of art; a character has "
                                                       "eight.")
                                            .arg(lines.size())};
    CharBitmap rows{};
    for (int r = 0; r < CharRows; ++r) {
        QStringView line = lines[r];
        while (line.endsWith(u' '))
            line.chop(1);
        if (line.size() > Columns)
            return ParsedChar{
                std::nullopt,
                QStringLiteral("Row %1, \"%2\", is %3 pixels wide; a row has five.")
                    .arg(QString::number(r + 1), shown(line), QString::number(line.size()))};
        for (qsizetype c = 0; c < line.size(); ++c)
            if (line[c] == u'*' || line[c] == u'#')
                rows[static_cast<std::size_t>(r)] |= static_cast<std::uint8_t>(1 << (4 - c));
    }
    return ParsedChar{rows, {}};
}

// A row of dot art: '.' or '0' unlit, '#' or '1' lit. Five 0/1 digits are one too: they mean
// the same as the binary value.
bool isDotRow(QStringView token) {
    return allOf(token, u".#") ||
           (allOf(token, u".#01") && (token.contains(u'.') || token.contains(u'#'))) ||
           (token.size() == Columns && allOf(token, u"01"));
}

struct Value {
    enum { Ok, Over, Unreadable, DotLength } state = Unreadable;
    qulonglong number = 0;
};

Value number(QStringView digits, int base) {
    static const QString hexDigits = QStringLiteral("0123456789abcdefABCDEF");
    const QStringView allowed = QStringView(hexDigits).first(base == 16 ? 22 : base);
    if (!allOf(digits, allowed))
        return {};
    bool ok = false;
    const qulonglong n = digits.toULongLong(&ok, base);
    // Only an overflow fails once the digits are known good.
    if (!ok || n > FullCharRow)
        return {Value::Over, n};
    return {Value::Ok, n};
}

Value readToken(QStringView token, bool hexList) {
    token = withoutSuffix(token);
    if (hexList)
        return number(token, 16);
    if (token.startsWith(u"0x", Qt::CaseInsensitive))
        return number(token.sliced(2), 16);
    if (token.startsWith(u"0b", Qt::CaseInsensitive))
        return number(token.sliced(2), 2);
    if (token.startsWith(u"b", Qt::CaseInsensitive) && allOf(token.sliced(1), u"01"))
        return number(token.sliced(1), 2);
    if (isDotRow(token)) {
        if (token.size() != Columns)
            return {Value::DotLength, static_cast<qulonglong>(token.size())};
        qulonglong row = 0;
        for (const QChar c : token)
            row = row * 2 + (c == u'#' || c == u'1' ? 1 : 0);
        return {Value::Ok, row};
    }
    return number(token, 10);
}

} // namespace

QString charAsCArray(const CharBitmap &rows) {
    return u'{' + cByteList(bytesOf(rows)) + u'}';
}

QString charAsBinary(const CharBitmap &rows) {
    QStringList parts;
    for (const std::uint8_t row : rows)
        parts << QStringLiteral("B%1").arg(row, Columns, 2, QLatin1Char('0'));
    return parts.join(QStringLiteral(", "));
}

QString charAsHex(const CharBitmap &rows) {
    return hexText(bytesOf(rows));
}

ParsedChar parseChar(const QString &text) {
    if (text.size() > MaxCharTextLength)
        return {std::nullopt, QStringLiteral("The text is %1 characters long; one character is "
                                             "written in far fewer.")
                                  .arg(text.size())};
    if (auto art = starArt(text))
        return *art;
    const QString values = valuePart(withoutComments(text));
    static const QRegularExpression separators(QStringLiteral(R"([\s,;{}\[\]]+)"));
    const QStringList tokens = values.split(separators, Qt::SkipEmptyParts);
    const bool hexList = isHexList(values, tokens);

    CharBitmap rows{};
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Value v = readToken(tokens[i], hexList);
        const qsizetype place = i + 1;
        switch (v.state) {
        case Value::Unreadable:
            return {std::nullopt, QStringLiteral("Value %1, \"%2\", is not a row: write rows as "
                                                 "0x0A, B01010, 10 or .#.#.")
                                      .arg(place)
                                      .arg(shown(tokens[i]))};
        case Value::Over:
            // A list of two-digit numbers may read as hex; say so, a decimal list may look alike.
            return {std::nullopt,
                    QStringLiteral("Value %1, %2%3, is over 0x1F: a row has five pixels.")
                        .arg(QString::number(place), shown(tokens[i]),
                             hexList ? QStringLiteral(" read as hex (write decimal values "
                                                      "separated by commas, without leading "
                                                      "zeros)")
                                     : QString())};
        case Value::DotLength:
            // One pass: the pasted token may itself hold "%1".
            return {std::nullopt,
                    QStringLiteral("Row %1, \"%2\", has %3 %4; a row has five.")
                        .arg(QString::number(place), shown(tokens[i]), QString::number(v.number),
                             v.number == 1 ? QStringLiteral("pixel") : QStringLiteral("pixels"))};
        case Value::Ok:
            if (i < CharRows)
                rows[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v.number);
            break;
        }
    }
    if (tokens.isEmpty())
        return {std::nullopt, QStringLiteral("There is no character in the text.")};
    if (tokens.size() != CharRows)
        return {std::nullopt,
                QStringLiteral("Found %1 %2; a character has eight.")
                    .arg(tokens.size())
                    .arg(tokens.size() == 1 ? QStringLiteral("row") : QStringLiteral("rows"))};
    return {rows, {}};
}

QByteArray charSetAsCHeader(const Bitmaps &bitmaps) {
    QByteArray text = "/* TORVIKA user characters 0 to 7: eight rows each, top row first;\n"
                      "   in each row bit 4 is the leftmost pixel and bit 0 the rightmost. */\n"
                      "#ifndef TORVIKA_CHARS_H\n#define TORVIKA_CHARS_H\n\n#include <stdint.h>\n\n"
                      "static const uint8_t torvika_chars[8][8] = {\n";
    for (int slot = 0; slot < UserChars; ++slot)
        text += "    " + charAsCArray(charOf(bitmaps, slot)).toLatin1() +
                (slot + 1 < UserChars ? "," : " ") + " /* " + QByteArray::number(slot) + " */\n";
    return text + "};\n\n#endif\n";
}

CharBitmap charOf(const Bitmaps &bitmaps, int slot) {
    CharBitmap rows{};
    std::copy_n(bitmaps.begin() + slot * CharRows, CharRows, rows.begin());
    return rows;
}

} // namespace torvika::protocol
