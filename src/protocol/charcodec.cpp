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

// The part that holds the values: inside the outermost braces, else after a declaration's
// '=', else all of it.
QString valuePart(const QString &text) {
    const qsizetype open = text.indexOf(u'{');
    if (open >= 0) {
        const qsizetype close = text.lastIndexOf(u'}');
        return close > open ? text.sliced(open + 1, close - open - 1) : text.sliced(open + 1);
    }
    const qsizetype equals = text.lastIndexOf(u'=');
    return equals >= 0 ? text.sliced(equals + 1) : text;
}

bool allOf(QStringView s, QStringView allowed) {
    return !s.isEmpty() &&
           std::all_of(s.begin(), s.end(), [&](QChar c) { return allowed.contains(c); });
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

QString shown(QStringView token) {
    return token.size() > 20 ? token.first(20).toString() + QStringLiteral("...")
                             : token.toString();
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
    const QString values = valuePart(withoutComments(text));
    static const QRegularExpression separators(QStringLiteral(R"([\s,;{}]+)"));
    const QStringList tokens = values.split(separators, Qt::SkipEmptyParts);
    static const QRegularExpression hexPairs(QStringLiteral("^[0-9A-Fa-f]{2}$"));
    const bool hexList = !values.contains(u',') && !tokens.isEmpty() &&
                         std::all_of(tokens.begin(), tokens.end(),
                                     [](const QString &t) { return hexPairs.match(t).hasMatch(); });

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
            // Two-digit numbers between blanks read as hex; say so, a decimal list may look alike.
            return {std::nullopt,
                    QStringLiteral("Value %1, %2%3, is over 0x1F: a row has five pixels.")
                        .arg(QString::number(place), shown(tokens[i]),
                             hexList ? QStringLiteral(" read as hex (separate decimal values "
                                                      "with commas)")
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
