#include "link/transmitter.h"

#include "link/portaccess.h"
#include "protocol/hex.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>

namespace torvika {

Q_LOGGING_CATEGORY(lcLink, "torvika.link", QtWarningMsg)

Transmitter::Transmitter(ModVariables &vars, SerialPort &port, MessageBoxes &boxes,
                         TrafficMonitor &monitor, QObject *parent)
    : QObject(parent), vars_(vars), port_(port), boxes_(boxes), monitor_(monitor) {
    // A 1 ms timer really ticks every millisecond here; the wait must last 100 ms.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(TickIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &Transmitter::Timer1_Timer);
}

bool Transmitter::SendTxData(int count) {
    if (count < 0 || count > ModVariables::TxDataSize) {
        qCInfo(lcLink) << "SendTxData: count" << count << "outside the buffer; nothing sent";
        return false;
    }
    monitor_.clearTrace();

    PortResult result;
    if (!port_.isOpen())
        result = port_.open();
    for (int i = 0; result && i != count; ++i) {
        const char byte = static_cast<char>(vars_.TxData[static_cast<std::size_t>(i)]);
        result = port_.write(QByteArrayView(&byte, 1));
        if (result)
            monitor_.appendTransmitted(
                protocol::hexByteText(vars_.TxData[static_cast<std::size_t>(i)]));
    }
    if (!result) {
        reportPortUnavailable(boxes_, port_, result);
        return false;
    }
    return true;
}

void Transmitter::WaitTicks(int ticks) {
    vars_.TickCount = 0;
    timer_.start();
    // Blocks until an event arrives instead of spinning: the wait costs almost no CPU.
    while (vars_.TickCount < ticks)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    timer_.stop();
}

void Transmitter::Timer1_Timer() {
    // A wait covers far fewer ticks than the counter's range; stay put rather than wrap.
    if (vars_.TickCount < INT16_MAX)
        ++vars_.TickCount;
}

} // namespace torvika
