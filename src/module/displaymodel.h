#pragma once

#include "protocol/commands.h"
#include "protocol/framedecoder.h"
#include "protocol/frames.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace torvika::module {

constexpr int Rows = protocol::DisplayRows;
constexpr int Columns = protocol::DisplayColumns;
constexpr int UserChars = protocol::UserChars;
constexpr int CharRows = protocol::CharRows;
constexpr std::uint8_t Blank = 0x20;
// The module's own full block, used by the bar graph for whole cells.
constexpr std::uint8_t FullBlock = 0xFF;

using Bitmaps = protocol::Bitmaps;

// What the module keeps when it is switched off.
struct Memory {
    QByteArray startupRow0, startupRow1;
    Bitmaps chars{};
    int brightness = protocol::DefaultBrightness;
    int speed = protocol::ModuleSpeedLow;

    QJsonObject toJson() const;
    // Missing or broken values keep their defaults.
    static Memory fromJson(const QJsonObject &json);
    friend bool operator==(const Memory &, const Memory &) = default;
};

// The module: display memory, cursor, user characters, backlight, outputs, inputs and its
// memory. Pure: the link and the window drive it.
class DisplayModel {
public:
    enum class CursorStyle { Underline, BlinkingBlock, Hidden };

    // Power-up: the remembered settings, and the startup screen on the display.
    explicit DisplayModel(const Memory &memory = {});

    struct Outcome {
        std::optional<std::uint8_t> reply; // a byte to send back
        bool memoryChanged = false;        // memory() should be stored
        QString problem;                   // why the frame changed nothing, if it did not
    };
    Outcome apply(const protocol::DecodedFrame &frame);

    std::uint8_t at(int row, int column) const { return cells_[index(row, column)]; }
    QByteArray row(int row) const;
    int cursorRow() const { return cursorRow_; }
    int cursorColumn() const { return cursorColumn_; }
    CursorStyle cursorStyle() const { return style_; }
    const Bitmaps &chars() const { return chars_; }
    bool backlightOn() const { return backlight_; }
    int brightness() const { return brightness_; }
    std::uint8_t outputs() const { return outputs_; }
    std::uint8_t inputs() const { return inputs_; }
    void setInputs(std::uint8_t inputs) { inputs_ = inputs & 7; }
    int speed() const { return speed_; }
    const Memory &memory() const { return memory_; }

    QJsonObject toJson() const;

private:
    static int index(int row, int column) { return row * Columns + column; }
    void put(std::uint8_t code);
    void clear();
    void showStartupScreen();
    void drawGraph(int width, bool leftToRight);

    // The rules of apply(), one per control byte and command.
    using Frame = protocol::DecodedFrame;
    struct ControlRule;
    struct CommandRule;
    static const ControlRule ControlRules[];
    static const CommandRule CommandRules[];
    void backspace();
    void home();
    void nextLine();
    void cursorLeft();
    void cursorRight();
    void setStyle(const Frame &frame, Outcome &out);
    void initGraph(const Frame &frame, Outcome &out);
    void setBacklight(const Frame &frame, Outcome &out);
    void loadChars(const Frame &frame, Outcome &out);
    void readInputs(const Frame &frame, Outcome &out);
    void saveSettings(const Frame &frame, Outcome &out);
    void eraseStartupScreen(const Frame &frame, Outcome &out);
    void showStartupScreenRule(const Frame &frame, Outcome &out);
    void setSpeed(const Frame &frame, Outcome &out);
    void setBrightness(const Frame &frame, Outcome &out);
    void graph(const Frame &frame, Outcome &out);
    void clearRow(const Frame &frame, Outcome &out);
    void clearColumn(const Frame &frame, Outcome &out);
    void setOutputs(const Frame &frame, Outcome &out);
    void setCursor(const Frame &frame, Outcome &out);
    void defineChars(const Frame &frame, Outcome &out);
    void storeStartupScreen(const Frame &frame, Outcome &out);

    std::array<std::uint8_t, Rows * Columns> cells_{};
    int cursorRow_ = 0, cursorColumn_ = 0;
    CursorStyle style_ = CursorStyle::Underline;
    Bitmaps chars_{};
    bool backlight_ = true;
    int brightness_ = protocol::DefaultBrightness;
    std::uint8_t outputs_ = 0, inputs_ = 0;
    int speed_ = protocol::ModuleSpeedLow;
    Memory memory_;
};

QString cursorStyleName(DisplayModel::CursorStyle style);

} // namespace torvika::module
