#include "ptylink.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace torvika::vmodule {

namespace {

// While no sender has the port open, the line is at a speed no sender uses: the module
// tells "no sender" from a sender at a wrong speed.
constexpr speed_t AtRest = B50;

// Well below the time a sender waits for an answer.
constexpr int SettleMs = 20;

// 0 at rest, -1 for a speed the module never runs at.
int bitsPerSecond(speed_t s) {
    switch (s) {
    case AtRest:
        return 0;
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return -1;
    }
}

} // namespace

PtyLink::PtyLink(QString linkPath, QObject *parent)
    : QObject(parent), linkPath_(std::move(linkPath)) {}

PtyLink::~PtyLink() {
    if (reader_.joinable()) {
        const char stop = 0;
        (void)!::write(wake_[1], &stop, 1);
        reader_.join();
    }
    for (const int fd : wake_)
        if (fd >= 0)
            ::close(fd);
    removeLink();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

QString PtyLink::open() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        return QStringLiteral("cannot open a pseudo-terminal: %1").arg(strerror(errno));
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    cfsetspeed(&raw, AtRest);
    // Packet mode with EXTPROC: every change of the line settings is announced on our end,
    // so bytes written at 19200 bit/s by a sender that puts the old speed back as it closes
    // are still judged at 19200.
    raw.c_lflag |= EXTPROC;
    tcsetattr(slave_, TCSANOW, &raw);
    int on = 1;
    ioctl(master_, TIOCPKT, &on);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    devicePath_ = QString::fromLocal8Bit(name);

    const QFileInfo existing(linkPath_);
    if (existing.isSymLink()) {
        if (!QFile::remove(linkPath_))
            return QStringLiteral("cannot replace the old link %1").arg(linkPath_);
    } else if (existing.exists()) {
        return QStringLiteral("%1 exists and is not a link; choose another path with --link")
            .arg(linkPath_);
    }
    if (::symlink(name, QFile::encodeName(linkPath_).constData()) != 0)
        return QStringLiteral("cannot create the link %1: %2").arg(linkPath_, strerror(errno));

    if (::pipe(wake_) != 0)
        return QStringLiteral("cannot start reading the line: %1").arg(strerror(errno));
    reader_ = std::thread([this] { readMaster(); });
    return {};
}

void PtyLink::removeLink() {
    if (!devicePath_.isEmpty() && QFileInfo(linkPath_).symLinkTarget() == devicePath_)
        QFile::remove(linkPath_);
}

int PtyLink::lineSpeed() const {
    termios t{};
    if (slave_ < 0 || tcgetattr(slave_, &t) != 0)
        return 0;
    return bitsPerSecond(cfgetospeed(&t));
}

bool PtyLink::write(const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{master_, POLLOUT, 0};
            if (poll(&p, 1, 100) <= 0)
                return false;
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

void PtyLink::readMaster() {
    // The kernel announces a change of the line's settings at once, ahead of bytes written
    // before it that we have not read, and several changes in a row as one. Bytes read while
    // the line stood still since we last looked at it were written at the speed we saw then.
    // Bytes that came before a change count at the speed seen before it or the one the line
    // settles at after it; after a change to rest (a sender closing) the speed they were
    // written at cannot be known, and they are taken: a sender that sets 19200 bit/s, writes
    // and puts the old speed back as it closes must be understood.
    const auto deliver = [this](const QByteArray &bytes, const QList<int> &speeds) {
        if (!bytes.isEmpty())
            QMetaObject::invokeMethod(
                this, [this, bytes, speeds] { emit received(bytes, speeds); },
                Qt::QueuedConnection);
    };
    const auto changedMeanwhile = [this] {
        pollfd p{master_, POLLPRI, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLPRI);
    };
    int speed = lineSpeed();
    char buffer[4097];
    for (;;) {
        pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR)
            return;
        if (p[1].revents)
            return;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 1 && buffer[0] == TIOCPKT_DATA) {
            const QByteArray bytes(buffer + 1, n - 1);
            deliver(bytes, changedMeanwhile() || speed == 0 ? QList<int>{} : QList<int>{speed});
        } else if (n > 0) { // news about the line: its settings changed
            // What is written up to now; a read that finds nothing waits for the bytes still
            // on their way. Bytes before a further change (or past what we hold) are of no
            // speed we can know.
            QByteArray before;
            ssize_t m;
            while ((m = ::read(master_, buffer, sizeof buffer)) > 0) {
                if (m > 1 && buffer[0] == TIOCPKT_DATA && before.size() < 65536) {
                    before.append(buffer + 1, m - 1);
                } else {
                    deliver(std::exchange(before, {}), {});
                    if (m > 1 && buffer[0] == TIOCPKT_DATA)
                        before.append(buffer + 1, m - 1);
                }
            }
            const int seen = std::exchange(speed, lineSpeed());
            // A sender opening passes through other speeds on its way to its own: a line
            // that changes again at once was not where these bytes were written.
            pollfd next{master_, POLLIN | POLLPRI, 0};
            if (!before.isEmpty() && speed != 0)
                ::poll(&next, 1, SettleMs);
            deliver(before,
                    changedMeanwhile() || speed == 0 ? QList<int>{} : QList<int>{seen, speed});
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            ::usleep(100000); // should not happen while we hold the device open: no spinning
        }
    }
}

} // namespace torvika::vmodule
