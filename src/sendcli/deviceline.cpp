#include "sendcli/deviceline.h"

#include "sendcli/endsignals.h"

#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace torvika::sendcli {

namespace {

// After a signal, how long the frame being written may still take to get out.
constexpr int FinishAfterSignalMs = 5000;

PortMap single(const QString &device) {
    PortMap map;
    map.set(1, device);
    return map;
}

} // namespace

DeviceLine::DeviceLine(const QString &device, const QString &settings) : port_(single(device)) {
    port_.setCommPort(1);
    port_.setSettings(settings);
}

DeviceLine::~DeviceLine() {
    close();
}

void DeviceLine::close() {
    port_.drain();
    port_.close();
}

PortResult DeviceLine::write(QByteArrayView bytes) {
    if (!port_.isOpen())
        return PortResult::failure(QStringLiteral("the port is not open"));
    // The device is open without blocking: a full output buffer is a wait, not a failure.
    const int fd = static_cast<int>(port_.qtPort().handle());
    QElapsedTimer sinceSignal;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            const PortResult failed = PortResult::failure(
                QStringLiteral("write failed (%1)").arg(QString::fromLocal8Bit(strerror(errno))));
            port_.close();
            return failed;
        }
        // Asked to end before this frame began: it is left out whole.
        if (endSignal() && done == 0)
            return PortResult::failure(QLatin1String(EndedBySignal));
        if (endSignal() && !sinceSignal.isValid())
            sinceSignal.start();
        if (sinceSignal.isValid() && sinceSignal.elapsed() > FinishAfterSignalMs) {
            port_.close();
            return PortResult::failure(QStringLiteral("the line took no more bytes for %1 s "
                                                      "after the signal; a frame is unfinished")
                                           .arg(FinishAfterSignalMs / 1000));
        }
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, sinceSignal.isValid() ? 100 : -1) > 0 &&
            (p.revents & (POLLERR | POLLNVAL))) {
            port_.close();
            return PortResult::failure(
                QStringLiteral("write failed (the device reports an error)"));
        }
    }
    return PortResult::success();
}

} // namespace torvika::sendcli
