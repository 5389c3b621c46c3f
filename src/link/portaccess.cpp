#include "link/portaccess.h"

namespace torvika {

void reportPortUnavailable(MessageBoxes &boxes, const SerialPort &port, const PortResult &why) {
    QString detail = QStringLiteral("Port %1 (%2)").arg(port.commPort()).arg(port.deviceName());
    if (!why.reason.isEmpty())
        detail += QStringLiteral(": ") + why.reason;
    boxes.information(AppTitle, PortNotAvailableText, detail);
}

bool openPortIfClosed(SerialPort &port, MessageBoxes &boxes) {
    if (port.isOpen())
        return true;
    const PortResult result = port.open();
    if (!result)
        reportPortUnavailable(boxes, port, result);
    return result.ok;
}

bool writeDirect(SerialPort &port, MessageBoxes &boxes, QByteArrayView bytes) {
    return writeSequence(port, boxes, {bytes.toByteArray()});
}

bool writeSequence(SerialPort &port, MessageBoxes &boxes, const QList<QByteArray> &writes) {
    if (!openPortIfClosed(port, boxes))
        return false;
    for (const QByteArray &bytes : writes) {
        const PortResult result = port.write(bytes);
        if (!result) {
            reportPortUnavailable(boxes, port, result);
            return false;
        }
    }
    return true;
}

} // namespace torvika
