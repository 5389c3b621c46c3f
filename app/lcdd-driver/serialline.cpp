#include "serialline.h"

#include "protocol/frames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int ProbeWaitMs = 100; // as long as the panel waits for "Read Input"

speed_t termiosSpeed(int speed) {
    return speed == 19200 ? B19200 : B9600;
}

std::string userName() {
    if (const passwd *pw = getpwuid(geteuid()))
        return pw->pw_name;
    return "uid " + std::to_string(geteuid());
}

// What the refused user needs: the group of a device that lets its group in (dialout for
// serial ports), else the device lets in no one but its owner.
std::string whatItNeeds(const std::string &path, const std::string &user) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return "it needs the device's group (dialout)";
    const group *gr = getgrgid(st.st_gid);
    const std::string name = gr ? gr->gr_name : std::to_string(st.st_gid);
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
        return "the device (group " + name + ", mode " + mode + ") gives its group no access";
    }
    return "it needs the device's group " + name + " (adduser " + user + " " + name + ")";
}

} // namespace

SerialLine::Opened SerialLine::open(const std::string &path, int speed) {
    close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            const std::string user = userName();
            return {std::string(std::strerror(error)) + ": user " + user + " was refused; " +
                        whatItNeeds(path, user),
                    true};
        }
        return {std::strerror(error)};
    }
    if (!isatty(fd)) {
        ::close(fd);
        return {"not a serial device"};
    }
    fd_ = fd;
    ioctl(fd_, TIOCEXCL); // the panel or torvika-send opening it meanwhile would mix frames
    if (!setSpeed(speed)) {
        const std::string reason = std::strerror(errno);
        close();
        return {"cannot set its line settings: " + reason};
    }
    return {};
}

void SerialLine::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool SerialLine::setSpeed(int speed) {
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | CS8;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, termiosSpeed(speed));
    cfsetospeed(&t, termiosSpeed(speed));
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

std::optional<std::int64_t> SerialLine::write(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return 0;
    const ssize_t n = ::write(fd_, bytes.data(), size_t(bytes.size()));
    if (n >= 0)
        return n;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    return std::nullopt;
}

std::optional<std::uint8_t> SerialLine::readByte() {
    std::uint8_t byte = 0;
    return ::read(fd_, &byte, 1) == 1 ? std::optional(byte) : std::nullopt;
}

void SerialLine::discardInput() {
    tcflush(fd_, TCIFLUSH);
}

std::int64_t SerialLine::outputQueued() const {
    int queued = 0;
    return ioctl(fd_, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

bool SerialLine::gone() const {
    pollfd p{fd_, 0, 0};
    if (poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int SerialLine::probe(const int *speeds, int count) {
    const QByteArray query = torvika::protocol::readInputs().toByteArray();
    for (int i = 0; i < count; ++i) {
        if (!setSpeed(speeds[i]))
            continue;
        discardInput();
        if (::write(fd_, query.data(), size_t(query.size())) != query.size())
            continue;
        tcdrain(fd_);
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, ProbeWaitMs) > 0 && (p.revents & POLLIN) && readByte())
            return speeds[i];
    }
    setSpeed(speeds[0]);
    return 0;
}
