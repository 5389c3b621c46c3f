#include "link/dialogframes.h"

namespace torvika::dialogframes {

namespace {

constexpr char Prefix = '\xFE';
constexpr char RowSeparator = '\x0D';
constexpr char FrameEnd = '\xFF';

// The row's bytes, or the reason one of its characters cannot be carried.
bool rowBytes(const QString &text, int row, QByteArray &bytes, QString &problem) {
    for (const char32_t code : text.toUcs4()) {
        if (code > 255 || code == 0x0D || code == 0xFF) {
            const QString shown = code == 0x0D
                                      ? QStringLiteral("carriage return")
                                      : QStringLiteral("\"%1\"").arg(QString::fromUcs4(&code, 1));
            problem = QStringLiteral("Row %1 holds %2 (code %3), which the startup screen cannot "
                                     "carry; nothing is sent.")
                          .arg(row)
                          .arg(shown)
                          .arg(static_cast<uint>(code));
            return false;
        }
        bytes.append(static_cast<char>(code));
    }
    return true;
}

QList<QByteArray> confirmed(QList<QByteArray> writes, const char *text) {
    writes.append(QByteArray(text));
    return writes;
}

} // namespace

QByteArray customCharBitmaps(const Bitmaps &bitmaps) {
    QByteArray frame;
    frame.reserve(CustomCharFrameSize);
    frame.append(Prefix).append('\x64');
    for (const std::uint8_t row : bitmaps)
        frame.append(static_cast<char>(row));
    return frame;
}

QList<QByteArray> customCharWrites(const Bitmaps &bitmaps) {
    const QByteArray frame = customCharBitmaps(bitmaps);
    QList<QByteArray> writes{frame.first(10)};
    for (qsizetype at = 10; at < frame.size(); at += 8)
        writes.append(frame.mid(at, 8));
    return writes;
}

StartupScreen setStartupScreen(const QString &row0, const QString &row1) {
    StartupScreen result;
    QByteArray frame{"\xFE\xC8"};
    if (!rowBytes(row0, 0, frame, result.problem))
        return result;
    frame.append(RowSeparator);
    if (!rowBytes(row1, 1, frame, result.problem))
        return result;
    frame.append(FrameEnd);
    result.frame = frame;
    return result;
}

QList<QByteArray> eraseStartupScreenWrites() {
    return confirmed({QByteArray("\xFE\x15\x0D")}, "Startup Screen Erased");
}

QList<QByteArray> setBaud9600Writes() {
    return confirmed({QByteArray(1, RowSeparator), QByteArray("\xFE\x1E")}, "BR Set : 9600");
}

QList<QByteArray> setBaud19200Writes() {
    return confirmed({QByteArray(1, RowSeparator), QByteArray("\xFE\x1F")}, "BR Set : 19200");
}

} // namespace torvika::dialogframes
