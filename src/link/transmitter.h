#pragma once

#include "platform/messageboxes.h"
#include "platform/serialport.h"
#include "shared/modvariables.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace torvika {

// Where the transmit path shows its trace: the two labels of the traffic monitor.
class TrafficMonitor {
public:
    virtual ~TrafficMonitor() = default;
    // Empties "Transmitted Bytes", then "Received Bytes".
    virtual void clearTrace() = 0;
    // Appends to the caption of "Transmitted Bytes".
    virtual void appendTransmitted(const QString &text) = 0;
};

// The main window's transmit path: SendTxData, the tick wait and its timer.
class Transmitter : public QObject {
    Q_OBJECT
public:
    // Real ticks come every 10 ms, so a 10-tick wait lasts at least 100 ms.
    static constexpr int TickIntervalMs = 10;
    // How long "Read Input" gives the module to answer: at least 100 ms.
    static constexpr int ReplyWaitTicks = 10;

    Transmitter(ModVariables &vars, SerialPort &port, MessageBoxes &boxes, TrafficMonitor &monitor,
                QObject *parent = nullptr);

    // Sends TxData[0..count-1], one write per byte, tracing each byte. Opens a closed
    // port first. Returns whether every byte went out; a failure has then been reported.
    bool SendTxData(int count);

    // Returns once Timer1 has ticked `ticks` times, handling window events meanwhile.
    void WaitTicks(int ticks);

    // Timer1's handler.
    void Timer1_Timer();

    QTimer &Timer1() { return timer_; }

private:
    ModVariables &vars_;
    SerialPort &port_;
    MessageBoxes &boxes_;
    TrafficMonitor &monitor_;
    QTimer timer_;
};

} // namespace torvika
