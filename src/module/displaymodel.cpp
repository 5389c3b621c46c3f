#include "module/displaymodel.h"

#include <QJsonArray>

namespace torvika::module {

namespace {

using namespace protocol;
using Frame = DecodedFrame;

QString latin1(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

QByteArray bitmapsHex(const Bitmaps &chars, int character) {
    return QByteArray(reinterpret_cast<const char *>(chars.data()) + character * CharRows, CharRows)
        .toHex()
        .toUpper();
}

QByteArray fittedRow(const QJsonValue &value) {
    return value.toString().toLatin1().left(StartupRowLength);
}

} // namespace

QString cursorStyleName(DisplayModel::CursorStyle style) {
    switch (style) {
    case DisplayModel::CursorStyle::Underline:
        return QStringLiteral("underline");
    case DisplayModel::CursorStyle::BlinkingBlock:
        return QStringLiteral("blinking block");
    case DisplayModel::CursorStyle::Hidden:
        return QStringLiteral("hidden");
    }
    return {};
}

QJsonObject Memory::toJson() const {
    QJsonArray characters;
    for (int c = 0; c < UserChars; ++c)
        characters.append(QString::fromLatin1(bitmapsHex(chars, c)));
    return {{QStringLiteral("startup"), QJsonArray{latin1(startupRow0), latin1(startupRow1)}},
            {QStringLiteral("chars"), characters},
            {QStringLiteral("brightness"), brightness},
            {QStringLiteral("speed"), speed}};
}

Memory Memory::fromJson(const QJsonObject &json) {
    Memory m;
    const QJsonArray startup = json.value(QStringLiteral("startup")).toArray();
    m.startupRow0 = fittedRow(startup.at(0));
    m.startupRow1 = fittedRow(startup.at(1));
    const QJsonArray characters = json.value(QStringLiteral("chars")).toArray();
    for (int c = 0; c < UserChars && c < characters.size(); ++c) {
        const QByteArray rows = QByteArray::fromHex(characters.at(c).toString().toLatin1());
        if (rows.size() != CharRows)
            continue;
        for (int r = 0; r < CharRows; ++r)
            m.chars[static_cast<std::size_t>(c * CharRows + r)] =
                static_cast<std::uint8_t>(rows[r]) & protocol::FullCharRow;
    }
    const int brightness = json.value(QStringLiteral("brightness")).toInt(m.brightness);
    if (brightness >= MinBrightness && brightness <= MaxBrightness)
        m.brightness = brightness;
    const int speed = json.value(QStringLiteral("speed")).toInt(m.speed);
    if (speed == ModuleSpeedLow || speed == ModuleSpeedHigh)
        m.speed = speed;
    return m;
}

DisplayModel::DisplayModel(const Memory &memory)
    : chars_(memory.chars), brightness_(memory.brightness), speed_(memory.speed), memory_(memory) {
    showStartupScreen();
}

QByteArray DisplayModel::row(int r) const {
    return QByteArray(reinterpret_cast<const char *>(cells_.data()) + index(r, 0), Columns);
}

void DisplayModel::clear() {
    cells_.fill(Blank);
    cursorRow_ = cursorColumn_ = 0;
}

void DisplayModel::showStartupScreen() {
    clear();
    const QByteArray rows[] = {memory_.startupRow0, memory_.startupRow1};
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns && c < rows[r].size(); ++c)
            cells_[index(r, c)] = static_cast<std::uint8_t>(rows[r][c]);
}

// Writes at the cursor and moves right; past the last column the cursor goes on at the
// start of the other row.
void DisplayModel::put(std::uint8_t code) {
    cells_[index(cursorRow_, cursorColumn_)] = code;
    if (++cursorColumn_ == Columns) {
        cursorColumn_ = 0;
        cursorRow_ = 1 - cursorRow_;
    }
}

void DisplayModel::drawGraph(int width, bool leftToRight) {
    const int full = width / 5, part = width % 5;
    for (int c = 0; c < Columns; ++c)
        cells_[index(cursorRow_, c)] = Blank;
    for (int i = 0; i < full; ++i)
        cells_[index(cursorRow_, leftToRight ? i : Columns - 1 - i)] = FullBlock;
    if (part > 0) {
        // Init Graph puts the partial cells in the user characters: 0..3 hold 1..4 columns
        // from the left, 4..7 hold 1..4 columns from the right.
        const int column = leftToRight ? full : Columns - 1 - full;
        cells_[index(cursorRow_, column)] =
            static_cast<std::uint8_t>(leftToRight ? part - 1 : 4 + part - 1);
    }
}

// What each control byte and command does, one line each, as the protocol's tables.
struct DisplayModel::ControlRule {
    Control control;
    void (DisplayModel::*run)();
};
struct DisplayModel::CommandRule {
    Command command;
    void (DisplayModel::*run)(const Frame &, Outcome &);
};

namespace {
using M = DisplayModel;
} // namespace

const DisplayModel::ControlRule DisplayModel::ControlRules[] = {
    {Control::Backspace, &M::backspace},   {Control::CursorHome, &M::home},
    {Control::NextLine, &M::nextLine},     {Control::ClearScreen, &M::clear},
    {Control::CursorLeft, &M::cursorLeft}, {Control::CursorRight, &M::cursorRight},
};

const DisplayModel::CommandRule DisplayModel::CommandRules[] = {
    {Command::CursorUnderline, &M::setStyle},
    {Command::CursorBlockBlinking, &M::setStyle},
    {Command::CursorHide, &M::setStyle},
    {Command::InitGraph, &M::initGraph},
    {Command::BacklightOn, &M::setBacklight},
    {Command::BacklightOff, &M::setBacklight},
    {Command::LoadCustomChars, &M::loadChars},
    {Command::ReadInputs, &M::readInputs},
    {Command::SaveSettings, &M::saveSettings},
    {Command::EraseStartupScreen, &M::eraseStartupScreen},
    {Command::ShowStartupScreen, &M::showStartupScreenRule},
    {Command::SetBaud9600, &M::setSpeed},
    {Command::SetBaud19200, &M::setSpeed},
    {Command::SetBrightness, &M::setBrightness},
    {Command::GraphLeftToRight, &M::graph},
    {Command::GraphRightToLeft, &M::graph},
    {Command::ClearRow, &M::clearRow},
    {Command::ClearColumn, &M::clearColumn},
    {Command::SetOutputs, &M::setOutputs},
    {Command::SetCursorPosition, &M::setCursor},
    {Command::CustomCharBitmaps, &M::defineChars},
    {Command::SetStartupScreen, &M::storeStartupScreen},
};

DisplayModel::Outcome DisplayModel::apply(const Frame &frame) {
    Outcome out;
    switch (frame.kind) {
    case Frame::Kind::Text:
    case Frame::Kind::CustomChar:
        put(frame.first());
        return out;
    case Frame::Kind::Unknown:
        out.problem = QStringLiteral("not understood");
        return out;
    case Frame::Kind::Control:
        for (const ControlRule &rule : ControlRules)
            if (byteOf(rule.control) == frame.first())
                (this->*rule.run)();
        return out;
    case Frame::Kind::Command:
        break;
    }
    const CommandSpec *spec = findCommand(frame.command());
    if (!spec)
        return out;
    // A number outside its range changes nothing.
    if (spec->form == ArgumentForm::Numbers) {
        for (int i = 0; i < spec->arguments; ++i) {
            if (!argumentFits(spec->command, i, frame.arg(i))) {
                const ArgumentRange range = i == 0 ? spec->first : spec->second;
                // Shown beside the frame's meaning, so the value alone says which.
                out.problem = QStringLiteral("%1 is outside %2 to %3")
                                  .arg(frame.arg(i))
                                  .arg(range.min)
                                  .arg(range.max);
                return out;
            }
        }
    }
    for (const CommandRule &rule : CommandRules)
        if (rule.command == spec->command)
            (this->*rule.run)(frame, out);
    return out;
}

void DisplayModel::backspace() { // left, then blank
    if (cursorColumn_ > 0)
        --cursorColumn_;
    else if (cursorRow_ == 1)
        cursorRow_ = 0, cursorColumn_ = Columns - 1;
    cells_[index(cursorRow_, cursorColumn_)] = Blank;
}
void DisplayModel::home() {
    cursorRow_ = cursorColumn_ = 0;
}
void DisplayModel::nextLine() {
    cursorRow_ = 1 - cursorRow_;
    cursorColumn_ = 0;
}
void DisplayModel::cursorLeft() {
    if (cursorColumn_ > 0) {
        --cursorColumn_;
    } else {
        cursorRow_ = 1 - cursorRow_;
        cursorColumn_ = Columns - 1;
    }
}
void DisplayModel::cursorRight() {
    if (++cursorColumn_ == Columns) {
        cursorColumn_ = 0;
        cursorRow_ = 1 - cursorRow_;
    }
}

void DisplayModel::setStyle(const Frame &frame, Outcome &) {
    style_ = static_cast<CursorStyle>(frame.command() - byteOf(Command::CursorUnderline));
}
void DisplayModel::initGraph(const Frame &, Outcome &) {
    static constexpr std::uint8_t Patterns[UserChars] = {0x10, 0x18, 0x1C, 0x1E,
                                                         0x01, 0x03, 0x07, 0x0F};
    for (int c = 0; c < UserChars; ++c)
        for (int r = 0; r < CharRows; ++r)
            chars_[static_cast<std::size_t>(c * CharRows + r)] = Patterns[c];
}
void DisplayModel::setBacklight(const Frame &frame, Outcome &) {
    backlight_ = frame.command() == byteOf(Command::BacklightOn);
}
void DisplayModel::loadChars(const Frame &, Outcome &) {
    chars_ = memory_.chars;
}
void DisplayModel::readInputs(const Frame &, Outcome &out) {
    out.reply = inputs_;
}
void DisplayModel::saveSettings(const Frame &, Outcome &out) {
    memory_.chars = chars_;
    memory_.brightness = brightness_;
    memory_.speed = speed_;
    out.memoryChanged = true;
}
void DisplayModel::eraseStartupScreen(const Frame &, Outcome &out) {
    memory_.startupRow0.clear();
    memory_.startupRow1.clear();
    out.memoryChanged = true;
}
void DisplayModel::showStartupScreenRule(const Frame &, Outcome &) {
    showStartupScreen();
}
void DisplayModel::setSpeed(const Frame &frame, Outcome &) {
    speed_ = frame.command() == byteOf(Command::SetBaud9600) ? ModuleSpeedLow : ModuleSpeedHigh;
}
void DisplayModel::setBrightness(const Frame &frame, Outcome &) {
    brightness_ = frame.arg(0);
}
void DisplayModel::graph(const Frame &frame, Outcome &) {
    drawGraph(frame.arg(0), frame.command() == byteOf(Command::GraphLeftToRight));
}
void DisplayModel::clearRow(const Frame &frame, Outcome &) {
    for (int c = 0; c < Columns; ++c)
        cells_[index(frame.arg(0), c)] = Blank;
}
void DisplayModel::clearColumn(const Frame &frame, Outcome &) {
    for (int r = 0; r < Rows; ++r)
        cells_[index(r, frame.arg(0))] = Blank;
}
void DisplayModel::setOutputs(const Frame &frame, Outcome &) {
    outputs_ = frame.arg(0) & 7;
}
void DisplayModel::setCursor(const Frame &frame, Outcome &) {
    cursorRow_ = frame.arg(0);
    cursorColumn_ = frame.arg(1);
}
void DisplayModel::defineChars(const Frame &frame, Outcome &) {
    for (int i = 0; i < UserChars * CharRows; ++i)
        chars_[static_cast<std::size_t>(i)] = frame.arg(i) & protocol::FullCharRow;
}
void DisplayModel::storeStartupScreen(const Frame &frame, Outcome &out) {
    memory_.startupRow0 = frame.startupRow(0);
    memory_.startupRow1 = frame.startupRow(1);
    out.memoryChanged = true;
}

QJsonObject DisplayModel::toJson() const {
    QJsonArray characters;
    for (int c = 0; c < UserChars; ++c)
        characters.append(QString::fromLatin1(bitmapsHex(chars_, c)));
    return {
        {QStringLiteral("rows"), QJsonArray{latin1(row(0)), latin1(row(1))}},
        {QStringLiteral("cursor"), QJsonObject{{QStringLiteral("row"), cursorRow_},
                                               {QStringLiteral("column"), cursorColumn_},
                                               {QStringLiteral("style"), cursorStyleName(style_)}}},
        {QStringLiteral("chars"), characters},
        {QStringLiteral("backlight"),
         QJsonObject{{QStringLiteral("on"), backlight_}, {QStringLiteral("level"), brightness_}}},
        {QStringLiteral("outputs"), outputs_},
        {QStringLiteral("inputs"), inputs_},
        {QStringLiteral("speed"), speed_},
        {QStringLiteral("memory"), memory_.toJson()},
    };
}

} // namespace torvika::module
