#include "platform/linesettings.h"

#include <QList>

#include <limits>

namespace torvika {

namespace {

LineSettingsParse refuse(QString why) {
    return {std::nullopt, std::move(why)};
}

bool allDigits(QStringView s) {
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

LineSettingsParse parseLineSettings(QStringView text) {
    const QList<QStringView> fields = text.split(u',');
    if (fields.size() != 4)
        return refuse(QStringLiteral("expected four fields, speed,parity,data bits,stop bits, "
                                     "such as 9600,n,8,1"));

    LineSettings s;
    const QStringView speed = fields[0].trimmed();
    bool ok = false;
    const qint64 baud = allDigits(speed) && speed.size() <= 10 ? speed.toLongLong(&ok) : 0;
    if (!ok || baud <= 0 || baud > std::numeric_limits<qint32>::max())
        return refuse(QStringLiteral("the speed must be a positive whole number of bit/s"));
    s.baudRate = static_cast<qint32>(baud);

    const QStringView parity = fields[1].trimmed();
    // ASCII only, so no other script's letter folds onto one of ours.
    if (parity.size() != 1 || parity[0].unicode() > 0x7f)
        return refuse(QStringLiteral("the parity must be one of n, e, o, m, s"));
    switch (parity[0].toLower().unicode()) {
    case u'n':
        s.parity = LineSettings::Parity::None;
        break;
    case u'e':
        s.parity = LineSettings::Parity::Even;
        break;
    case u'o':
        s.parity = LineSettings::Parity::Odd;
        break;
    case u'm':
        s.parity = LineSettings::Parity::Mark;
        break;
    case u's':
        s.parity = LineSettings::Parity::Space;
        break;
    default:
        return refuse(QStringLiteral("the parity must be one of n, e, o, m, s"));
    }

    const QStringView data = fields[2].trimmed();
    if (data.size() != 1 || data[0] < u'5' || data[0] > u'8')
        return refuse(QStringLiteral("the data bits must be 5, 6, 7 or 8"));
    s.dataBits = data[0].unicode() - u'0';

    const QStringView stop = fields[3].trimmed();
    if (stop == u"1") {
        s.stopBits = LineSettings::StopBits::One;
    } else if (stop == u"2") {
        s.stopBits = LineSettings::StopBits::Two;
    } else if (stop == u"1.5") {
#ifdef Q_OS_WIN
        s.stopBits = LineSettings::StopBits::OneAndHalf;
#else
        // The serial driver here has no 1.5 stop bits; Qt would silently use 1.
        return refuse(QStringLiteral("1.5 stop bits are not available on this system"));
#endif
    } else {
        return refuse(QStringLiteral("the stop bits must be 1 or 2"));
    }
    return {s, {}};
}

QString lineSettingsProblem(const QString &text) {
    return parseLineSettings(text).problem;
}

} // namespace torvika
