#include "framedecoder.h"

namespace torvika::vmodule {

std::optional<int> argumentCount(std::uint8_t command) {
    switch (static_cast<Command>(command)) {
    case Command::CursorUnderline:
    case Command::CursorBlockBlinking:
    case Command::CursorHide:
    case Command::InitGraph:
    case Command::BacklightOn:
    case Command::BacklightOff:
    case Command::LoadCustomChars:
    case Command::ReadInputs:
    case Command::ShowStartupScreen:
    case Command::SetBaud9600:
    case Command::SetBaud19200:
        return 0;
    case Command::SaveSettings:
    case Command::EraseStartupScreen:
    case Command::SetBrightness:
    case Command::GraphLeftToRight:
    case Command::GraphRightToLeft:
    case Command::ClearRow:
    case Command::ClearColumn:
    case Command::SetOutputs:
        return 1;
    case Command::SetCursorPosition:
        return 2;
    case Command::CustomCharBitmaps:
        return 64;
    case Command::SetStartupScreen:
        return -1;
    }
    return std::nullopt;
}

QByteArray Frame::startupRow(int row) const {
    // FE C8 row0 0D row1 FF
    const QByteArray body = bytes.mid(2, bytes.size() - 3);
    const qsizetype split = body.indexOf('\r');
    if (split < 0)
        return row == 0 ? body : QByteArray();
    return row == 0 ? body.first(split) : body.mid(split + 1);
}

QString Frame::meaning() const {
    if (bytes.isEmpty())
        return QStringLiteral("nothing");
    switch (kind) {
    case Kind::Text: {
        const auto c = first();
        if (c < 127)
            return QStringLiteral("text \"%1\"").arg(QChar(c));
        return QStringLiteral("text character %1").arg(c);
    }
    case Kind::CustomChar:
        return QStringLiteral("user character %1").arg(first());
    case Kind::Control:
        switch (first()) {
        case 8:
            return QStringLiteral("back space");
        case 11:
            return QStringLiteral("cursor home");
        case 12:
            return QStringLiteral("next line");
        case 13:
            return QStringLiteral("clear screen");
        case 14:
            return QStringLiteral("cursor left");
        case 15:
            return QStringLiteral("cursor right");
        }
        break;
    case Kind::Unknown:
        if (first() == CommandPrefix && bytes.size() >= 2 && !argumentCount(command()))
            return QStringLiteral("unknown command %1").arg(command());
        if (first() == CommandPrefix && bytes.size() >= 2 &&
            command() == static_cast<std::uint8_t>(Command::SetStartupScreen))
            return QStringLiteral("startup screen frame that does not fit its layout, dropped");
        if (first() == CommandPrefix)
            return QStringLiteral("command cut short, dropped");
        return QStringLiteral("byte with no meaning, dropped");
    case Kind::Command:
        break;
    }
    if (kind != Kind::Command)
        return QStringLiteral("?");
    switch (static_cast<Command>(command())) {
    case Command::CursorUnderline:
        return QStringLiteral("cursor: underline");
    case Command::CursorBlockBlinking:
        return QStringLiteral("cursor: blinking block");
    case Command::CursorHide:
        return QStringLiteral("cursor: hidden");
    case Command::InitGraph:
        return QStringLiteral("prepare bar graph characters");
    case Command::BacklightOn:
        return QStringLiteral("backlight on");
    case Command::BacklightOff:
        return QStringLiteral("backlight off");
    case Command::LoadCustomChars:
        return QStringLiteral("load user characters from memory");
    case Command::ReadInputs:
        return QStringLiteral("read inputs");
    case Command::SaveSettings:
        return QStringLiteral("save settings to memory");
    case Command::EraseStartupScreen:
        return QStringLiteral("erase startup screen");
    case Command::ShowStartupScreen:
        return QStringLiteral("show startup screen");
    case Command::SetBaud9600:
        return QStringLiteral("module line speed 9600");
    case Command::SetBaud19200:
        return QStringLiteral("module line speed 19200");
    case Command::SetBrightness:
        return QStringLiteral("brightness %1").arg(arg(0));
    case Command::GraphLeftToRight:
        return QStringLiteral("bar graph left to right, %1 columns").arg(arg(0));
    case Command::GraphRightToLeft:
        return QStringLiteral("bar graph right to left, %1 columns").arg(arg(0));
    case Command::ClearRow:
        return QStringLiteral("clear row %1").arg(arg(0));
    case Command::ClearColumn:
        return QStringLiteral("clear column %1").arg(arg(0));
    case Command::SetOutputs:
        return QStringLiteral("outputs %1%2%3")
            .arg(QChar(arg(0) & 1 ? u'1' : u'-'))
            .arg(QChar(arg(0) & 2 ? u'2' : u'-'))
            .arg(QChar(arg(0) & 4 ? u'3' : u'-'));
    case Command::SetCursorPosition:
        return QStringLiteral("cursor to row %1, column %2").arg(arg(0)).arg(arg(1));
    case Command::CustomCharBitmaps:
        return QStringLiteral("define the 8 user characters");
    case Command::SetStartupScreen:
        return QStringLiteral("store startup screen \"%1\" / \"%2\"")
            .arg(QString::fromLatin1(startupRow(0)), QString::fromLatin1(startupRow(1)));
    }
    return QStringLiteral("?");
}

QList<Frame> FrameDecoder::feed(QByteArrayView bytes) {
    QList<Frame> out;
    for (const char b : bytes)
        take(static_cast<std::uint8_t>(b), out);
    return out;
}

std::optional<Frame> FrameDecoder::flush() {
    if (pending_.isEmpty())
        return std::nullopt;
    QList<Frame> out;
    finish(Frame::Kind::Unknown, out);
    return out.front();
}

void FrameDecoder::finish(Frame::Kind kind, QList<Frame> &out) {
    out.append(Frame{kind, std::exchange(pending_, {})});
    needed_ = 0;
}

void FrameDecoder::take(std::uint8_t byte, QList<Frame> &out) {
    if (pending_.isEmpty()) {
        pending_.append(static_cast<char>(byte));
        if (byte == CommandPrefix)
            return; // the command byte comes next
        if (byte <= 7)
            finish(Frame::Kind::CustomChar, out);
        else if (byte == 8 || (byte >= 11 && byte <= 15))
            finish(Frame::Kind::Control, out);
        else if (byte >= 32)
            finish(Frame::Kind::Text, out);
        else
            finish(Frame::Kind::Unknown, out);
        return;
    }
    pending_.append(static_cast<char>(byte));
    if (pending_.size() == 2) {
        const std::optional<int> count = argumentCount(byte);
        if (!count) {
            finish(Frame::Kind::Unknown, out);
            return;
        }
        needed_ = *count;
        if (needed_ == 0)
            finish(Frame::Kind::Command, out);
        return;
    }
    if (needed_ < 0) {
        // The startup screen runs up to its FF; a frame longer than two full rows never ends.
        if (byte == 0xFF) {
            const QByteArray body = pending_.mid(2, pending_.size() - 3);
            const qsizetype split = body.indexOf('\r');
            const bool wellFormed = split >= 1 && split <= StartupRowLength &&
                                    body.size() - split - 1 <= StartupRowLength &&
                                    body.indexOf('\r', split + 1) < 0;
            finish(wellFormed ? Frame::Kind::Command : Frame::Kind::Unknown, out);
        } else if (pending_.size() >= MaxStartupFrame) {
            finish(Frame::Kind::Unknown, out);
        }
        return;
    }
    if (--needed_ == 0)
        finish(Frame::Kind::Command, out);
}

} // namespace torvika::vmodule
