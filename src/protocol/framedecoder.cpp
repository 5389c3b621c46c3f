#include "protocol/framedecoder.h"

#include "protocol/hex.h"

#include <utility>

namespace torvika::protocol {

namespace {

QString outputsText(std::uint8_t mask) {
    QString text;
    for (int i = 0; i < Outputs; ++i)
        text += (mask & (1 << i)) ? QChar(u'1' + i) : QChar(u'-');
    return text;
}

QString commandMeaning(const CommandSpec &spec, const DecodedFrame &frame) {
    const QString reading = QString::fromLatin1(spec.reading);
    switch (spec.form) {
    case ArgumentForm::Plain:
        return reading;
    case ArgumentForm::Numbers: {
        QString text = reading;
        for (int i = 0; i < spec.arguments; ++i)
            text = text.arg(frame.arg(i));
        if (text.endsWith(QLatin1String(" 1 columns"))) // a bar of one
            text.chop(1);
        return text;
    }
    case ArgumentForm::OutputMask:
        return reading.arg(outputsText(frame.arg(0)));
    case ArgumentForm::StartupRows:
        return reading.arg(QString::fromLatin1(frame.startupRow(0)),
                           QString::fromLatin1(frame.startupRow(1)));
    }
    return reading;
}

} // namespace

QByteArray DecodedFrame::startupRow(int row) const {
    // FE C8 row0 0D row1 FF
    const QByteArray body = bytes.mid(2, bytes.size() - 3);
    const qsizetype split = body.indexOf(static_cast<char>(StartupRowSeparator));
    if (split < 0)
        return row == 0 ? body : QByteArray();
    return row == 0 ? body.first(split) : body.mid(split + 1);
}

QList<DecodedFrame> joinTextRuns(const QList<DecodedFrame> &frames) {
    QList<DecodedFrame> joined;
    for (const DecodedFrame &frame : frames) {
        if (frame.kind == DecodedFrame::Kind::Text && !joined.isEmpty() &&
            joined.last().kind == DecodedFrame::Kind::Text)
            joined.last().bytes += frame.bytes;
        else
            joined << frame;
    }
    return joined;
}

QString DecodedFrame::hex() const {
    return hexText(bytes);
}

QString DecodedFrame::meaning() const {
    if (bytes.isEmpty())
        return QStringLiteral("nothing");
    switch (kind) {
    case Kind::Text: {
        // One character or a run of them, quoted as C and Python write it.
        QString text;
        for (const char c : bytes) {
            const auto b = static_cast<std::uint8_t>(c);
            if (b < 127 && b != '"' && b != '\\')
                text += QChar(b);
            else
                text += QString::asprintf("\\x%02X", unsigned(b));
        }
        return QStringLiteral("text \"%1\"").arg(text);
    }
    case Kind::CustomChar:
        return QStringLiteral("user character %1").arg(first());
    case Kind::Control:
        if (const ControlSpec *spec = findControl(first()))
            return QString::fromLatin1(spec->reading);
        break;
    case Kind::Command:
        if (bytes.size() >= 2)
            if (const CommandSpec *spec = findCommand(command()))
                return commandMeaning(*spec, *this);
        break;
    case Kind::Unknown:
        if (first() == CommandPrefix && bytes.size() >= 2 && !findCommand(command()))
            return QStringLiteral("unknown command %1").arg(command());
        if (first() == CommandPrefix && bytes.size() >= 2 &&
            command() == byteOf(Command::SetStartupScreen))
            return QStringLiteral("startup screen frame that does not fit its layout, dropped");
        if (first() == CommandPrefix)
            return QStringLiteral("command cut short, dropped");
        return QStringLiteral("byte with no meaning, dropped");
    }
    return QStringLiteral("?");
}

QList<DecodedFrame> FrameDecoder::feed(QByteArrayView bytes) {
    QList<DecodedFrame> out;
    for (const char b : bytes)
        take(static_cast<std::uint8_t>(b), out);
    return out;
}

std::optional<DecodedFrame> FrameDecoder::flush() {
    if (pending_.isEmpty())
        return std::nullopt;
    QList<DecodedFrame> out;
    finish(DecodedFrame::Kind::Unknown, out);
    return out.front();
}

void FrameDecoder::finish(DecodedFrame::Kind kind, QList<DecodedFrame> &out) {
    out.append(DecodedFrame{kind, std::exchange(pending_, {})});
    needed_ = 0;
}

void FrameDecoder::take(std::uint8_t byte, QList<DecodedFrame> &out) {
    using Kind = DecodedFrame::Kind;
    pending_.append(static_cast<char>(byte));
    if (pending_.size() == 1) {
        if (byte == CommandPrefix)
            return; // the command byte comes next
        if (byte <= LastCustomCharByte)
            finish(Kind::CustomChar, out);
        else if (findControl(byte))
            finish(Kind::Control, out);
        else if (byte >= FirstTextByte)
            finish(Kind::Text, out);
        else
            finish(Kind::Unknown, out);
        return;
    }
    if (pending_.size() == 2) {
        const CommandSpec *spec = findCommand(byte);
        if (!spec) {
            finish(Kind::Unknown, out);
            return;
        }
        needed_ = spec->arguments;
        if (needed_ == 0)
            finish(Kind::Command, out);
        return;
    }
    if (needed_ == UpToEndByte) {
        // The startup screen runs up to its end byte; a frame longer than two full rows never
        // ends.
        if (byte == StartupEnd) {
            const QByteArray body = pending_.mid(2, pending_.size() - 3);
            const char separator = static_cast<char>(StartupRowSeparator);
            const qsizetype split = body.indexOf(separator);
            const bool wellFormed = split >= 1 && split <= StartupRowLength &&
                                    body.size() - split - 1 <= StartupRowLength &&
                                    body.indexOf(separator, split + 1) < 0;
            finish(wellFormed ? Kind::Command : Kind::Unknown, out);
        } else if (pending_.size() >= MaxStartupFrame) {
            finish(Kind::Unknown, out);
        }
        return;
    }
    if (--needed_ == 0)
        finish(Kind::Command, out);
}

} // namespace torvika::protocol
