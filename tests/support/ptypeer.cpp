#include "ptypeer.h"

#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace torvika::test {

PtyPeer::PtyPeer(bool keepSlaveOpen) {
    char name[256] = {};
    int slave = -1;
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
        master_ = -1;
        return;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = QString::fromLocal8Bit(name);
    if (keepSlaveOpen)
        slave_ = slave;
    else
        ::close(slave);
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
    // At least one look, so a zero timeout still takes what is already there.
    while (master_ >= 0 && got.size() < count) {
        const qint64 left = qMax<qint64>(0, timeoutMs - clock.elapsed());
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) {
            if (clock.elapsed() >= timeoutMs)
                break;
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return got;
}

QByteArray PtyPeer::readAvailable(int waitMs) {
    QByteArray got;
    for (;;) {
        const QByteArray more = read(1 << 20, waitMs);
        if (more.isEmpty())
            return got;
        got += more;
    }
}

bool PtyPeer::write(const QByteArray &bytes, int timeoutMs) {
    for (qsizetype done = 0; done < bytes.size();) {
        const qsizetype n = writeSome(QByteArrayView(bytes).sliced(done), timeoutMs);
        if (n == 0)
            return false;
        done += n;
    }
    return true;
}

qsizetype PtyPeer::writeSome(QByteArrayView bytes, int timeoutMs) {
    if (master_ < 0)
        return 0;
    pollfd p{master_, POLLOUT, 0};
    int ready;
    do
        ready = poll(&p, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return 0;
    ssize_t n;
    do
        n = ::write(master_, bytes.data(), bytes.size());
    while (n < 0 && errno == EINTR);
    return n > 0 ? n : 0;
}

void PtyPeer::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace torvika::test
