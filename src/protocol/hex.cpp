#include "protocol/hex.h"

namespace torvika::protocol {

namespace {
constexpr char Digits[] = "0123456789ABCDEF";
}

QString hexByteText(std::uint8_t byte) {
    const QChar text[3] = {QLatin1Char(Digits[byte >> 4]), QLatin1Char(Digits[byte & 0x0F]),
                           QLatin1Char(' ')};
    return QString(text, 3);
}

QString hexText(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size() * 3);
    for (const char c : bytes)
        text += hexByteText(static_cast<std::uint8_t>(c));
    text.chop(1);
    return text;
}

QString cByteList(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size() * 6);
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        text += QStringLiteral("0x") + QLatin1Char(Digits[b >> 4]) + QLatin1Char(Digits[b & 0x0F]) +
                QStringLiteral(", ");
    }
    text.chop(2);
    return text;
}

} // namespace torvika::protocol
