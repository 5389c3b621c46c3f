#include "protocol/commands.h"

#include <algorithm>

namespace torvika::protocol {

namespace {

using F = ArgumentForm;

// The ranges of the numeric arguments.
constexpr ArgumentRange Level{MinBrightness, MaxBrightness}, Width{MinGraphWidth, MaxGraphWidth},
    Row{0, DisplayRows - 1}, Column{0, DisplayColumns - 1}, Mask{0, (1 << Outputs) - 1};

// One line per command: changing a command touches only its line.
constexpr CommandSpec Commands[] = {
    {Command::CursorUnderline, 0, "CursorUnderline", "cursor: underline", F::Plain},
    {Command::CursorBlockBlinking, 0, "CursorBlockBlinking", "cursor: blinking block", F::Plain},
    {Command::CursorHide, 0, "CursorHide", "cursor: hidden", F::Plain},
    {Command::InitGraph, 0, "InitGraph", "prepare bar graph characters", F::Plain},
    {Command::BacklightOn, 0, "BacklightOn", "backlight on", F::Plain},
    {Command::BacklightOff, 0, "BacklightOff", "backlight off", F::Plain},
    {Command::LoadCustomChars, 0, "LoadCustomChars", "load user characters from memory", F::Plain},
    {Command::ReadInputs, 0, "ReadInputs", "read inputs", F::Plain},
    {Command::SaveSettings, 1, "SaveSettings", "save settings to memory", F::Plain},
    {Command::EraseStartupScreen, 1, "EraseStartupScreen", "erase startup screen", F::Plain},
    {Command::ShowStartupScreen, 0, "ShowStartupScreen", "show startup screen", F::Plain},
    {Command::SetBaud9600, 0, "SetBaud9600", "module line speed 9600", F::Plain},
    {Command::SetBaud19200, 0, "SetBaud19200", "module line speed 19200", F::Plain},
    {Command::SetBrightness, 1, "SetBrightness", "brightness %1", F::Numbers, Level},
    {Command::GraphLeftToRight, 1, "GraphLeftToRight", "bar graph left to right, %1 columns",
     F::Numbers, Width},
    {Command::GraphRightToLeft, 1, "GraphRightToLeft", "bar graph right to left, %1 columns",
     F::Numbers, Width},
    {Command::ClearRow, 1, "ClearRow", "clear row %1", F::Numbers, Row},
    {Command::ClearColumn, 1, "ClearColumn", "clear column %1", F::Numbers, Column},
    {Command::SetOutputs, 1, "SetOutputs", "outputs %1", F::OutputMask, Mask},
    {Command::SetCursorPosition, 2, "SetCursorPosition", "cursor to row %1, column %2", F::Numbers,
     Row, Column},
    {Command::CustomCharBitmaps, UserChars *CharRows, "CustomCharBitmaps",
     "define the 8 user characters", F::Plain},
    {Command::SetStartupScreen, UpToEndByte, "SetStartupScreen",
     "store startup screen \"%1\" / \"%2\"", F::StartupRows},
};

constexpr ControlSpec Controls[] = {
    {Control::Backspace, "Backspace", "back space"},
    {Control::CursorHome, "CursorHome", "cursor home"},
    {Control::NextLine, "NextLine", "next line"},
    {Control::ClearScreen, "ClearScreen", "clear screen"},
    {Control::CursorLeft, "CursorLeft", "cursor left"},
    {Control::CursorRight, "CursorRight", "cursor right"},
};

} // namespace

std::span<const CommandSpec> commandTable() {
    return Commands;
}

std::span<const ControlSpec> controlTable() {
    return Controls;
}

const CommandSpec *findCommand(std::uint8_t commandByte) {
    const auto *it =
        std::find_if(std::begin(Commands), std::end(Commands),
                     [&](const CommandSpec &c) { return byteOf(c.command) == commandByte; });
    return it == std::end(Commands) ? nullptr : it;
}

const ControlSpec *findControl(std::uint8_t byte) {
    const auto *it = std::find_if(std::begin(Controls), std::end(Controls),
                                  [&](const ControlSpec &c) { return byteOf(c.control) == byte; });
    return it == std::end(Controls) ? nullptr : it;
}

bool argumentFits(Command command, int argument, int value) {
    const CommandSpec *spec = findCommand(byteOf(command));
    if (!spec || argument < 0 || argument >= spec->arguments)
        return false;
    const ArgumentRange range = argument == 0   ? spec->first
                                : argument == 1 ? spec->second
                                                : ArgumentRange{};
    return value >= range.min && value <= range.max;
}

std::optional<std::uint8_t> toByte(int value) {
    if (value < 0 || value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

} // namespace torvika::protocol
