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

DisplayModel::Outcome DisplayModel::apply(const Frame &frame) {
    Outcome out;
    const auto refuse = [&out](const QString &why) {
        out.problem = why;
        return out;
    };
    switch (frame.kind) {
    case Frame::Kind::Text:
    case Frame::Kind::CustomChar:
        put(frame.first());
        return out;
    case Frame::Kind::Unknown:
        return refuse(QStringLiteral("not understood"));
    case Frame::Kind::Control:
        switch (frame.first()) {
        case byteOf(Control::Backspace): // back space: left, then blank
            if (cursorColumn_ > 0)
                --cursorColumn_;
            else if (cursorRow_ == 1)
                cursorRow_ = 0, cursorColumn_ = Columns - 1;
            cells_[index(cursorRow_, cursorColumn_)] = Blank;
            break;
        case byteOf(Control::CursorHome):
            cursorRow_ = cursorColumn_ = 0;
            break;
        case byteOf(Control::NextLine):
            cursorRow_ = 1 - cursorRow_;
            cursorColumn_ = 0;
            break;
        case byteOf(Control::ClearScreen):
            clear();
            break;
        case byteOf(Control::CursorLeft):
            if (cursorColumn_ > 0) {
                --cursorColumn_;
            } else {
                cursorRow_ = 1 - cursorRow_;
                cursorColumn_ = Columns - 1;
            }
            break;
        case byteOf(Control::CursorRight):
            if (++cursorColumn_ == Columns) {
                cursorColumn_ = 0;
                cursorRow_ = 1 - cursorRow_;
            }
            break;
        }
        return out;
    case Frame::Kind::Command:
        break;
    }

    switch (static_cast<Command>(frame.command())) {
    case Command::CursorUnderline:
        style_ = CursorStyle::Underline;
        break;
    case Command::CursorBlockBlinking:
        style_ = CursorStyle::BlinkingBlock;
        break;
    case Command::CursorHide:
        style_ = CursorStyle::Hidden;
        break;
    case Command::InitGraph: {
        static constexpr std::uint8_t Patterns[UserChars] = {0x10, 0x18, 0x1C, 0x1E,
                                                             0x01, 0x03, 0x07, 0x0F};
        for (int c = 0; c < UserChars; ++c)
            for (int r = 0; r < CharRows; ++r)
                chars_[static_cast<std::size_t>(c * CharRows + r)] = Patterns[c];
        break;
    }
    case Command::BacklightOn:
        backlight_ = true;
        break;
    case Command::BacklightOff:
        backlight_ = false;
        break;
    case Command::LoadCustomChars:
        chars_ = memory_.chars;
        break;
    case Command::ReadInputs:
        out.reply = inputs_;
        break;
    case Command::SaveSettings:
        memory_.chars = chars_;
        memory_.brightness = brightness_;
        memory_.speed = speed_;
        out.memoryChanged = true;
        break;
    case Command::EraseStartupScreen:
        memory_.startupRow0.clear();
        memory_.startupRow1.clear();
        out.memoryChanged = true;
        break;
    case Command::ShowStartupScreen:
        showStartupScreen();
        break;
    case Command::SetBaud9600:
        speed_ = ModuleSpeedLow;
        break;
    case Command::SetBaud19200:
        speed_ = ModuleSpeedHigh;
        break;
    case Command::SetBrightness: {
        const int level = frame.arg(0);
        if (level < MinBrightness || level > MaxBrightness)
            return refuse(QStringLiteral("brightness %1 is outside %2 to %3")
                              .arg(level)
                              .arg(MinBrightness)
                              .arg(MaxBrightness));
        brightness_ = level;
        break;
    }
    case Command::GraphLeftToRight:
    case Command::GraphRightToLeft: {
        const int width = frame.arg(0);
        if (width < 1 || width > MaxGraphWidth)
            return refuse(QStringLiteral("bar graph width %1 is outside %2 to %3")
                              .arg(width)
                              .arg(MinGraphWidth)
                              .arg(MaxGraphWidth));
        drawGraph(width, frame.command() == static_cast<std::uint8_t>(Command::GraphLeftToRight));
        break;
    }
    case Command::ClearRow: {
        const int r = frame.arg(0);
        if (r >= Rows)
            return refuse(QStringLiteral("there is no row %1").arg(r));
        for (int c = 0; c < Columns; ++c)
            cells_[index(r, c)] = Blank;
        break;
    }
    case Command::ClearColumn: {
        const int c = frame.arg(0);
        if (c >= Columns)
            return refuse(QStringLiteral("there is no column %1").arg(c));
        for (int r = 0; r < Rows; ++r)
            cells_[index(r, c)] = Blank;
        break;
    }
    case Command::SetOutputs:
        outputs_ = frame.arg(0) & 7;
        break;
    case Command::SetCursorPosition: {
        const int r = frame.arg(0), c = frame.arg(1);
        if (r >= Rows || c >= Columns)
            return refuse(QStringLiteral("there is no row %1, column %2").arg(r).arg(c));
        cursorRow_ = r;
        cursorColumn_ = c;
        break;
    }
    case Command::CustomCharBitmaps:
        for (int i = 0; i < UserChars * CharRows; ++i)
            chars_[static_cast<std::size_t>(i)] = frame.arg(i) & protocol::FullCharRow;
        break;
    case Command::SetStartupScreen:
        memory_.startupRow0 = frame.startupRow(0);
        memory_.startupRow1 = frame.startupRow(1);
        out.memoryChanged = true;
        break;
    }
    return out;
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
