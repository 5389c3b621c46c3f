#pragma once

#include "platform/messageboxes.h"
#include "platform/serialport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace torvika {

inline const QString AppTitle = QStringLiteral("TORVIKA");
inline const QString PortNotAvailableText = QStringLiteral("SELECTED PORT NOT AVAILABLE!");
inline const QString NoResponseText = QStringLiteral("No Response From LCD");

// Shows "SELECTED PORT NOT AVAILABLE!" with a line naming the device and the reason.
void reportPortUnavailable(MessageBoxes &boxes, const SerialPort &port, const PortResult &why);

// Opens the port when it is closed. On failure reports it once and returns false.
bool openPortIfClosed(SerialPort &port, MessageBoxes &boxes);

// A write straight to the port (not through the transmit buffer or the traffic monitor):
// opens a closed port first; any failure is reported once and the write is dropped.
bool writeDirect(SerialPort &port, MessageBoxes &boxes, QByteArrayView bytes);

// Several such writes in order, with nothing between them; the first failure is reported
// once and the rest are dropped.
bool writeSequence(SerialPort &port, MessageBoxes &boxes, const QList<QByteArray> &writes);

} // namespace torvika
