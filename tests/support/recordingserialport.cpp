#include "recordingserialport.h"

namespace torvika::test {

PortResult RecordingSerialPort::open() {
    if (!failOpenReason.isEmpty())
        return PortResult::failure(failOpenReason);
    ++opens;
    open_ = true;
    return PortResult::success();
}

void RecordingSerialPort::close() {
    if (open_)
        ++closes;
    open_ = false;
}

PortResult RecordingSerialPort::write(QByteArrayView bytes) {
    if (!open_)
        return PortResult::failure(QStringLiteral("the port is not open"));
    qsizetype take = bytes.size();
    if (failAtByte >= bytesSoFar_ && failAtByte < bytesSoFar_ + bytes.size())
        take = static_cast<qsizetype>(failAtByte - bytesSoFar_);
    if (take > 0)
        writes.append(bytes.first(take).toByteArray());
    bytesSoFar_ += take;
    if (take < bytes.size()) {
        failAtByte = -1;
        return PortResult::failure(QStringLiteral("write failed"));
    }
    return PortResult::success();
}

QByteArray RecordingSerialPort::written() const {
    QByteArray all;
    for (const QByteArray &w : writes)
        all += w;
    return all;
}

} // namespace torvika::test
