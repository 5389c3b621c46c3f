#pragma once

#include "protocol/commands.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace torvika {

// Serial line settings as the text "speed,parity,data bits,stop bits" gives them.
struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    qint32 baudRate = protocol::ModuleSpeedLow;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings &, const LineSettings &) = default;
};

struct LineSettingsParse {
    std::optional<LineSettings> settings;
    QString problem; // why the text cannot be used; empty when `settings` holds a value
};

// Parses "9600,n,8,1": a positive whole speed, parity n/e/o/m/s (either case), data bits 5 to
// 8, stop bits 1, 1.5 (Windows only) or 2. Blanks around a field are allowed.
LineSettingsParse parseLineSettings(QStringView text);

// "" when the port can use the text, else the reason it cannot.
QString lineSettingsProblem(const QString &text);

} // namespace torvika
