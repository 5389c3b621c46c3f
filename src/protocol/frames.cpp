#include "protocol/frames.h"

#include <QStringBuilder>

#include <initializer_list>

namespace torvika::protocol {

namespace {

constexpr int Prefix = CommandPrefix;

int of(Command c) {
    return byteOf(c);
}
int of(Control c) {
    return byteOf(c);
}

// The frame of the given computed values, or none when one of them is no byte.
std::optional<Frame> computed(std::initializer_list<int> values) {
    Frame f;
    for (const int v : values) {
        const std::optional<std::uint8_t> b = toByte(v);
        if (!b)
            return std::nullopt;
        f.bytes[static_cast<std::size_t>(f.size++)] = *b;
    }
    return f;
}

// A frame whose bytes are constants of the table: always in range.
Frame fixed(std::initializer_list<int> values) {
    return *computed(values);
}

// Whether a character cannot go into the startup screen, and how to name it if so.
std::optional<QString> unfitForStartup(char32_t code) {
    if (code <= 255 && code != StartupRowSeparator && code != StartupEnd)
        return std::nullopt;
    return code == StartupRowSeparator ? QStringLiteral("carriage return")
                                       : QStringLiteral("\"%1\"").arg(QString::fromUcs4(&code, 1));
}

// The row's bytes, or the reason one of its characters, or its length, cannot be carried.
bool rowBytes(const QString &text, int row, QByteArray &bytes, QString &problem) {
    const QList<uint> codes = text.toUcs4();
    if (row == 0 && codes.isEmpty()) {
        problem = QStringLiteral("Row 0 is empty; the startup screen needs text in row 0.");
        return false;
    }
    for (const char32_t code : codes) {
        if (const std::optional<QString> shown = unfitForStartup(code)) {
            problem = QStringLiteral("Row %1 holds %2 (code %3), which the startup screen cannot "
                                     "carry; nothing is sent.")
                          .arg(row)
                          .arg(*shown)
                          .arg(static_cast<uint>(code));
            return false;
        }
        bytes.append(static_cast<char>(code));
    }
    if (codes.size() > StartupRowLength) {
        problem = QStringLiteral("Row %1 has %2 characters; a row holds at most %3; nothing is "
                                 "sent.")
                      .arg(row)
                      .arg(codes.size())
                      .arg(StartupRowLength);
        return false;
    }
    return true;
}

bool within(int value, int first, int last) {
    return value >= first && value <= last;
}

// The command `index` places after `first`, when it is one of the array's up to `last`.
std::optional<int> commandAt(Command first, int index, Command last) {
    if (!within(index, 0, of(last) - of(first)))
        return std::nullopt;
    return of(first) + index;
}

QByteArray bytesOf(std::initializer_list<int> values) {
    return computed(values)->toByteArray();
}

} // namespace

std::optional<Frame> insertCustomChar(int index) {
    if (!within(index, 0, LastCustomCharByte))
        return std::nullopt;
    return computed({index});
}
std::optional<Frame> lcdControl(int index) {
    if (!within(index, 0, of(Control::ClearScreen) - of(Control::CursorHome)))
        return std::nullopt;
    return computed({of(Control::CursorHome) + index});
}
Frame backspace() {
    return fixed({of(Control::Backspace)});
}
Frame cursorLeft() {
    return fixed({of(Control::CursorLeft)});
}
Frame cursorRight() {
    return fixed({of(Control::CursorRight)});
}

std::optional<Frame> textChar(int code) {
    if (code < FirstTextByte)
        return std::nullopt;
    return computed({code});
}

std::optional<Frame> cursorStyle(int position) {
    const auto command = commandAt(Command::CursorUnderline, position, Command::CursorHide);
    if (!command)
        return std::nullopt;
    return computed({Prefix, *command});
}
Frame initGraph() {
    return fixed({Prefix, of(Command::InitGraph)});
}
std::optional<Frame> backlight(int index) {
    const auto command = commandAt(Command::BacklightOn, index, Command::BacklightOff);
    if (!command)
        return std::nullopt;
    return computed({Prefix, *command});
}
Frame loadCustomChars() {
    return fixed({Prefix, of(Command::LoadCustomChars)});
}
Frame readInputs() {
    return fixed({Prefix, of(Command::ReadInputs)});
}
Frame saveSettings() {
    return fixed({Prefix, of(Command::SaveSettings), of(Control::ClearScreen)});
}
Frame showStartupScreen() {
    return fixed({Prefix, of(Command::ShowStartupScreen)});
}

std::optional<Frame> setBrightness(int level) {
    if (!argumentFits(Command::SetBrightness, 0, level))
        return std::nullopt;
    return computed({Prefix, of(Command::SetBrightness), level});
}

std::optional<Frame> graph(int index, int position) {
    const auto command = commandAt(Command::GraphLeftToRight, index, Command::GraphRightToLeft);
    if (!command || !argumentFits(static_cast<Command>(*command), 0, position + 1))
        return std::nullopt;
    return computed({Prefix, *command, position + 1});
}

std::optional<Frame> clearRowOrColumn(int index, int position) {
    const auto command = commandAt(Command::ClearRow, index, Command::ClearColumn);
    if (!command || !argumentFits(static_cast<Command>(*command), 0, position))
        return std::nullopt;
    return computed({Prefix, *command, position});
}

std::optional<Frame> setOutputs(std::uint8_t mask) {
    if (!argumentFits(Command::SetOutputs, 0, mask))
        return std::nullopt;
    return computed({Prefix, of(Command::SetOutputs), mask});
}

std::optional<Frame> setCursorPosition(int row, int column) {
    if (!argumentFits(Command::SetCursorPosition, 0, row) ||
        !argumentFits(Command::SetCursorPosition, 1, column))
        return std::nullopt;
    return computed({Prefix, of(Command::SetCursorPosition), row, column});
}

std::uint8_t outputMask(bool output1On, bool output2On, bool output3On) {
    return static_cast<std::uint8_t>((output1On ? 1 : 0) | (output2On ? 2 : 0) |
                                     (output3On ? 4 : 0));
}

std::array<bool, Inputs> decodeInputs(std::uint8_t reply) {
    return {(reply & 1) != 0, (reply & 2) != 0, (reply & 4) != 0};
}

QString inputLevels(std::uint8_t reply, QStringView joiner, QStringView separator) {
    const auto inputs = decodeInputs(reply);
    QStringList parts;
    for (int i = 0; i < Inputs; ++i)
        parts << QString::number(i + 1) % joiner % inputText(inputs[static_cast<std::size_t>(i)]);
    return parts.join(separator);
}

QString inputsMeaning(std::uint8_t reply) {
    return QStringLiteral("inputs: ") + inputLevels(reply, u" ", u", ");
}

QByteArray speedSetText(int speed) {
    return "BR Set : " + QByteArray::number(speed);
}

TypedText typedText(const QString &typed) {
    TypedText result;
    for (const char32_t code : typed.toUcs4()) {
        if (code < FirstTextByte || code == 127)
            continue; // Back space, Enter, Escape, Delete, control combinations
        if (code > 255) {
            result.bytes.clear();
            result.problem = QStringLiteral("Only characters with codes %1 to 255 can be sent "
                                            "to the display; \"%2\" (code %3) is not sent.")
                                 .arg(FirstTextByte)
                                 .arg(QString::fromUcs4(&code, 1))
                                 .arg(static_cast<uint>(code));
            return result;
        }
        result.bytes.append(static_cast<char>(code));
    }
    return result;
}

QByteArray customCharBitmaps(const Bitmaps &bitmaps) {
    QByteArray frame = bytesOf({Prefix, of(Command::CustomCharBitmaps)});
    frame.reserve(CustomCharFrameSize);
    for (const std::uint8_t row : bitmaps)
        frame.append(static_cast<char>(row));
    return frame;
}

QList<QByteArray> customCharWrites(const Bitmaps &bitmaps) {
    const QByteArray frame = customCharBitmaps(bitmaps);
    QList<QByteArray> writes{frame.first(2 + CharRows)};
    for (qsizetype at = 2 + CharRows; at < frame.size(); at += CharRows)
        writes.append(frame.mid(at, CharRows));
    return writes;
}

StartupScreen setStartupScreen(const QString &row0, const QString &row1) {
    StartupScreen result;
    QByteArray frame = bytesOf({Prefix, of(Command::SetStartupScreen)});
    if (!rowBytes(row0, 0, frame, result.problem))
        return result;
    frame.append(static_cast<char>(StartupRowSeparator));
    if (!rowBytes(row1, 1, frame, result.problem))
        return result;
    frame.append(static_cast<char>(StartupEnd));
    result.frame = frame;
    return result;
}

QList<QByteArray> eraseStartupScreenWrites() {
    return {bytesOf({Prefix, of(Command::EraseStartupScreen), of(Control::ClearScreen)}),
            StartupErasedText.toByteArray()};
}

QList<QByteArray> moduleSpeedWrites(int speed) {
    if (speed != ModuleSpeedLow && speed != ModuleSpeedHigh)
        return {};
    const Command command = speed == ModuleSpeedLow ? Command::SetBaud9600 : Command::SetBaud19200;
    return {bytesOf({of(Control::ClearScreen)}), bytesOf({Prefix, of(command)}),
            speedSetText(speed)};
}

} // namespace torvika::protocol
