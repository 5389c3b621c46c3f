#include "trafficlog/copyformats.h"

#include "protocol/hex.h"

#include <QStringList>

namespace torvika::trafficlog {

namespace {

QString cArray(const QByteArray &frame, const QString &name) {
    return QStringLiteral("const uint8_t %1[] = {%2};").arg(name, protocol::cByteList(frame));
}

QString python(const QByteArray &frame) {
    QString text = QStringLiteral("b\"");
    for (const char b : frame)
        text += QString::asprintf("\\x%02x", unsigned(static_cast<std::uint8_t>(b)));
    return text + u'"';
}

} // namespace

QString formatFrames(const QList<QByteArray> &frames, CopyFormat format) {
    QStringList lines;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        switch (format) {
        case CopyFormat::Hex:
            lines << protocol::hexText(frames[i]);
            break;
        case CopyFormat::CArray:
            lines << cArray(frames[i], frames.size() == 1 ? QStringLiteral("frame")
                                                          : QStringLiteral("frame%1").arg(i + 1));
            break;
        case CopyFormat::Python:
            lines << python(frames[i]);
            break;
        case CopyFormat::Text: // the rows' own form; of bytes alone, their hex
            lines << protocol::hexText(frames[i]);
            break;
        }
    }
    return lines.join(u'\n');
}

} // namespace torvika::trafficlog
