#include "ptylink.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace torvika::vmodule {

namespace {

int bitsPerSecond(speed_t s) {
    switch (s) {
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
        return 0;
    }
}

} // namespace

PtyLink::PtyLink(QString linkPath, QObject *parent)
    : QObject(parent), linkPath_(std::move(linkPath)) {}

PtyLink::~PtyLink() {
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
    cfsetspeed(&raw, B9600);
    tcsetattr(slave_, TCSANOW, &raw);
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

    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyLink::readMaster);
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
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            // Should not happen while we hold the device open; do not spin on it.
            notifier_->setEnabled(false);
            QTimer::singleShot(100, this, [this] { notifier_->setEnabled(true); });
        }
        return;
    }
}

} // namespace torvika::vmodule
