#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace torvika {

// The program's shared state. main() owns the one instance and hands it by reference
// to whoever needs it; there is no process-wide global.
struct ModVariables {
    static constexpr int TxDataSize = 71;

    // Transmit buffer of the main window: a command fills bytes 0..n-1 and sends n.
    // Never cleared: bytes behind the count keep older values and are not sent.
    std::array<std::uint8_t, TxDataSize> TxData{};

    // Timer ticks counted since the current wait began.
    std::int16_t TickCount = 0;

    // The three values remembered in the settings file, exactly as read at start.
    QString SavedCommPort;
    QString SavedSetting;
    std::int16_t SavedBL = 0;
};

} // namespace torvika
