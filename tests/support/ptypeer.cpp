#include "ptypeer.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace torvika::test {

PtyPeer::PtyPeer(bool keepSlaveOpen) {
    char name[256] = {};
    int slave = -1;
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        return;
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = QString::fromLocal8Bit(name);
    keepSlaveOpen ? void(slave_ = slave) : void(::close(slave));
}

PtyPeer::~PtyPeer() {
    closeMaster();
    if (slave_ >= 0)
        ::close(slave_);
}

QByteArray PtyPeer::read(int count, int timeoutMs) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    for (pollfd p{master_, POLLIN, 0}; master_ >= 0 && got.size() < count;) {
        // At least one look, so a zero timeout still takes what is already there.
        if (poll(&p, 1, int(qMax<qint64>(0, timeoutMs - clock.elapsed()))) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            got.append(buffer, qMax<ssize_t>(n, 0));
        } else if (clock.elapsed() >= timeoutMs) {
            break;
        }
    }
    return got;
}

QByteArray PtyPeer::readAvailable(int waitMs) {
    QByteArray got;
    for (QByteArray more; !(more = read(1 << 20, waitMs)).isEmpty();)
        got += more;
    return got;
}

qsizetype PtyPeer::writeSome(QByteArrayView bytes, int timeoutMs) {
    qsizetype done = 0;
    for (pollfd p{master_, POLLOUT, 0}; master_ >= 0 && done < bytes.size();) {
        const ssize_t n = poll(&p, 1, timeoutMs) > 0
                              ? ::write(master_, bytes.data() + done, size_t(bytes.size() - done))
                              : 0;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

void PtyPeer::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace torvika::test
