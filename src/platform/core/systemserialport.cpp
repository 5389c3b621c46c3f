#include "platform/systemserialport.h"

#include "platform/deviceholder.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

namespace torvika {

Q_LOGGING_CATEGORY(lcPort, "torvika.port", QtWarningMsg)

namespace {

QSerialPort::Parity toQt(LineSettings::Parity p) {
    switch (p) {
    case LineSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case LineSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case LineSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    case LineSettings::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(LineSettings::StopBits s) {
    switch (s) {
    case LineSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    case LineSettings::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

} // namespace

SystemSerialPort::SystemSerialPort(PortMap map) : map_(std::move(map)) {
    port_.setReadBufferSize(ReadBufferSize);
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { observeArrivals(); });
}

SystemSerialPort::~SystemSerialPort() {
    close();
}

void SystemSerialPort::setCommPort(int portNumber) {
    portNumber_ = portNumber;
}

PortResult SystemSerialPort::failure(const QString &what) {
    QString reason = what;
    if (port_.error() != QSerialPort::NoError && !port_.errorString().isEmpty())
        reason += QStringLiteral(" (%1)").arg(port_.errorString());
    qCInfo(lcPort) << deviceName() << reason;
    return PortResult::failure(reason);
}

PortResult SystemSerialPort::open() {
    if (port_.isOpen())
        return PortResult::success();
    const LineSettingsParse parsed = parseLineSettings(settings_);
    if (!parsed.settings)
        return PortResult::failure(
            QStringLiteral("line settings \"%1\": %2").arg(settings_, parsed.problem));

    const QString device = deviceName();
    const QFileInfo info(device);
    if (!info.exists())
        return PortResult::failure(QStringLiteral("no such device"));
    // QSerialPort would "open" a regular file or /dev/null and then fail on every setting.
    if (info.isFile() || info.isDir())
        return PortResult::failure(QStringLiteral("not a serial device"));

    // One device may go by several names (/dev/serial/by-id/... leads to /dev/ttyUSB0). The
    // lock that keeps a second user off the device is taken on the name it leads to, so
    // another name for a device in use finds it busy.
    const QString target = info.canonicalFilePath();
    port_.setPortName(target);
    port_.clearError();
    if (!port_.open(QIODevice::ReadWrite)) {
        switch (port_.error()) {
        case QSerialPort::PermissionError: {
            // Qt reports a device in use as a permission error; one we may use, or one the
            // system shows held by a program, is busy.
            QString holder = deviceHolder(target);
            if (!holder.isEmpty() ||
                ::access(QFile::encodeName(target).constData(), R_OK | W_OK) == 0) {
                if (holder.isEmpty())
                    holder = QStringLiteral("another program");
                qCInfo(lcPort) << device << "busy:" << port_.errorString();
                return PortResult::failure(target == device
                                               ? QStringLiteral("busy: held by %1").arg(holder)
                                               : QStringLiteral("busy: %1 leads to %2, held by %3")
                                                     .arg(device, target, holder));
            }
            return failure(QStringLiteral("permission denied or busy: another program may be "
                                          "using it, or you may need to join the group "
                                          "\"dialout\""));
        }
        case QSerialPort::DeviceNotFoundError:
            return failure(QStringLiteral("no such device"));
        default:
            return failure(QStringLiteral("cannot open the device"));
        }
    }
    const LineSettings &s = *parsed.settings;
    const bool applied = port_.setBaudRate(s.baudRate) &&
                         port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
                         port_.setParity(toQt(s.parity)) && port_.setStopBits(toQt(s.stopBits)) &&
                         port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        const PortResult refused =
            failure(QStringLiteral("the device refuses the line settings \"%1\"").arg(settings_));
        port_.close();
        return refused;
    }
    return PortResult::success();
}

void SystemSerialPort::close() {
    if (port_.isOpen())
        port_.close();
    observed_ = 0;
}

PortResult SystemSerialPort::write(QByteArrayView bytes) {
    if (!port_.isOpen())
        return PortResult::failure(QStringLiteral("the port is not open"));
    const qint64 written = port_.write(bytes.data(), bytes.size());
    // Without the flush nothing reaches the OS until the event loop runs.
    if (written != bytes.size() || (!port_.flush() && port_.bytesToWrite() > 0) ||
        !port_.isOpen()) {
        const PortResult result = failure(QStringLiteral("write failed"));
        close();
        return result;
    }
    return PortResult::success();
}

int SystemSerialPort::inBufferCount() {
    if (!port_.isOpen())
        return 0;
    // Take in what the OS holds without waiting, so bytes are counted even when no event
    // loop ran since they arrived.
    port_.waitForReadyRead(0);
    return static_cast<int>(qMin<qint64>(port_.bytesAvailable(), INT_MAX));
}

QByteArray SystemSerialPort::input() {
    if (!port_.isOpen())
        return {};
    port_.waitForReadyRead(0);
    observeArrivals();
    observed_ = 0;
    return port_.readAll();
}

void SystemSerialPort::drain() {
    if (!port_.isOpen())
        return;
#ifdef Q_OS_UNIX
    ::tcdrain(port_.handle());
#endif
}

bool SystemSerialPort::waitForInput(int timeoutMs) {
    if (!port_.isOpen())
        return false;
    return port_.bytesAvailable() > 0 || port_.waitForReadyRead(timeoutMs);
}

void SystemSerialPort::observeArrivals() {
    // peek() copies what waits and leaves it there: the observer never takes a byte.
    const qint64 waiting = port_.bytesAvailable();
    if (!observer_ || waiting <= observed_)
        return;
    const QByteArray bytes = port_.peek(waiting);
    observer_->bytesArrived(QByteArrayView(bytes).sliced(qMin(observed_, bytes.size())));
    observed_ = bytes.size();
}

QString SystemSerialPort::goneReason() const {
    // The error text is the system's last one, often left over from an earlier call that failed
    // harmlessly ("Resource temporarily unavailable"); only these say why a device went away.
    const QString text = port_.errorString();
#ifdef Q_OS_UNIX
    for (const int reason : {EIO, ENXIO, ENODEV, ENOENT})
        if (text == QString::fromLocal8Bit(std::strerror(reason)))
            return text;
#endif
    return {};
}

void SystemSerialPort::onError(QSerialPort::SerialPortError error) {
    // A hang-up (the far end of a pty closed, a device that reads end-of-file) comes as a
    // ReadError; both would be raised again on every event-loop pass while the port is open.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) &&
        port_.isOpen()) {
        qCInfo(lcPort) << deviceName() << "vanished:" << port_.errorString();
        const QString reason = goneReason();
        close();
        if (observer_)
            observer_->portLost(reason);
    }
}

} // namespace torvika
