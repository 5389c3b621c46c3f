#include "sendcli/sender.h"

#include "link/portaccess.h"
#include "link/transmitter.h"
#include "platform/linesettings.h"
#include "platform/portsettings.h"
#include "protocol/frames.h"
#include "sendcli/deviceline.h"
#include "sendcli/endsignals.h"
#include "settings/startvalues.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace torvika::sendcli {

namespace {

// As long as the panel gives the module to answer "Read Input".
constexpr int ReplyWaitMs = Transmitter::ReplyWaitTicks * Transmitter::TickIntervalMs;

// A line of standard input longer than this is no command line.
constexpr qsizetype MaxLineBytes = 64 * 1024;

PortMap single(const QString &device) {
    PortMap map;
    map.set(1, device);
    return map;
}

// Sends the read-inputs query and waits for the one byte; none when nothing came.
std::optional<std::uint8_t> queryInputs(SerialPort &port, const WaitForInput &waitForInput,
                                        PortResult &written) {
    port.input(); // a byte that was waiting is no answer to this query
    written = port.write(protocol::readInputs().toByteArray());
    if (!written || !waitForInput(ReplyWaitMs))
        return std::nullopt;
    const QByteArray reply = port.input();
    if (reply.isEmpty())
        return std::nullopt;
    return static_cast<std::uint8_t>(reply.front());
}

bool isDevice(const QString &path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

int endedBy(int signal) {
    return 128 + signal;
}

// Standard input split into lines as they come, waiting without blocking the signals out.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd) {}

    // The next line without its end; none at the end of the input or on a signal.
    // `tooLong`: the line was cut off at MaxLineBytes and the rest skipped.
    std::optional<QByteArray> next(bool &tooLong) {
        tooLong = false;
        for (;;) {
            if (const qsizetype end = buffer_.indexOf('\n'); end >= 0) {
                QByteArray line = buffer_.left(end);
                buffer_.remove(0, end + 1);
                tooLong = std::exchange(skipping_, false);
                return line;
            }
            if (buffer_.size() > MaxLineBytes) {
                buffer_.truncate(MaxLineBytes);
                skipping_ = true;
            }
            if (endSignal())
                return std::nullopt;
            char chunk[4096];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n > 0) {
                if (!skipping_ || buffer_.size() < MaxLineBytes)
                    buffer_.append(chunk, n);
                else if (const void *nl = memchr(chunk, '\n', size_t(n)))
                    buffer_.append(static_cast<const char *>(nl),
                                   chunk + n - static_cast<const char *>(nl));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            // The end of the input (or an input that cannot be read): a last line without
            // its end still counts.
            if (buffer_.isEmpty() && !skipping_)
                return std::nullopt;
            tooLong = std::exchange(skipping_, false);
            return std::exchange(buffer_, {});
        }
    }

private:
    int fd_;
    QByteArray buffer_;
    bool skipping_ = false;
};

} // namespace

ModIni settingsFile(const Invocation &inv, const QString &executableFolder) {
    if (!inv.settingsFile.isEmpty())
        return ModIni::file(inv.settingsFile);
    return ModIni(settingsFolderFor(executableFolder));
}

Target resolveTarget(const Invocation &inv, const ModIni &ini) {
    Target target;
    const bool named = !inv.settingsFile.isEmpty();
    // With both the device and the speed given, the panel's file has nothing to add.
    const bool usesFile = inv.devices.isEmpty() || !inv.speed;
    if (named || usesFile) {
        const QString problem = named && !QFileInfo::exists(ini.fileName())
                                    ? QStringLiteral("does not exist")
                                    : ini.fileProblem();
        if (!problem.isEmpty()) {
            const QString text =
                QStringLiteral("the settings file %1 %2").arg(ini.fileName(), problem);
            if (named) {
                target.problem = text;
                return target;
            }
            target.warnings << text + QStringLiteral("; the defaults are used");
        }
    }
    // Only the keys this call uses are looked at, with the panel's rules.
    RememberedTexts texts;
    if (usesFile)
        texts = readRemembered([&ini](const QString &section, const QString &key) {
            return ini.ReadINI(section, key);
        });
    texts.bl.clear();
    if (inv.port || !inv.devices.isEmpty())
        texts.commPort.clear();
    if (inv.speed)
        texts.setting.clear();
    const StartValues start = resolveStartValues(texts, lineSettingsProblem);
    for (const QString &p : start.problems)
        target.warnings << ini.fileName() + QStringLiteral(": ") + p;

    const PortMap map = inv.devices.isEmpty() ? portMapFromSettings(ini) : single(inv.devices[0]);
    target.device = map.deviceFor(inv.devices.isEmpty() ? inv.port.value_or(start.commPort) : 1);
    target.settings = inv.speed ? protocol::lineSettingsText(*inv.speed) : start.setting;
    return target;
}

int sendSteps(const QList<Step> &steps, SerialPort &port, const WaitForInput &waitForInput,
              QTextStream &out, QTextStream &err) {
    const auto unusable = [&](const PortResult &why) {
        if (endSignal() && why.reason == QLatin1String(EndedBySignal))
            return endedBy(endSignal());
        err << "torvika-send: " << port.deviceName() << ": " << why.reason << Qt::endl;
        return int(DeviceUnusable);
    };
    int status = Done;
    for (const Step &step : steps) {
        if (step.readsReply && !endSignal()) {
            PortResult written;
            if (const auto reply = queryInputs(port, waitForInput, written)) {
                out << inputsLine(*reply) << Qt::endl;
            } else if (!written) {
                return unusable(written);
            } else {
                err << NoResponseText << Qt::endl;
                status = NoAnswer; // the panel goes on after the message; so does the rest
            }
        } else {
            for (const QByteArray &bytes : step.writes) {
                if (endSignal())
                    return endedBy(endSignal());
                if (const PortResult written = port.write(bytes); !written)
                    return unusable(written);
            }
        }
    }
    if (endSignal())
        return endedBy(endSignal());
    return status;
}

int sendLines(int input, SerialPort *port, const WaitForInput &waitForInput, QTextStream &out,
              QTextStream &err) {
    LineReader reader(input);
    int status = Done, number = 0;
    bool tooLong = false;
    while (const std::optional<QByteArray> line = reader.next(tooLong)) {
        ++number;
        const ParseResult parsed =
            tooLong ? ParseResult{std::nullopt,
                                  QStringLiteral("longer than %1 bytes").arg(MaxLineBytes)}
                    : parseCommandLine(QString::fromUtf8(*line));
        if (!parsed.invocation) {
            err << "torvika-send: line " << number << ": " << parsed.error
                << "; the line is skipped" << Qt::endl;
            status = status == Done ? int(BadArguments) : status;
            continue;
        }
        if (!port) {
            for (const QString &frame : frameLines(parsed.invocation->steps))
                out << frame << '\n';
            out.flush();
            continue;
        }
        const int sent = sendSteps(parsed.invocation->steps, *port, waitForInput, out, err);
        if (sent == DeviceUnusable || sent > 128)
            return sent;
        if (sent != Done && status == Done)
            status = sent;
    }
    return endSignal() ? endedBy(endSignal()) : status;
}

QStringList probeCandidates(const Invocation &inv, const ModIni &ini) {
    QStringList paths;
    if (!inv.devices.isEmpty()) {
        for (const QString &device : inv.devices)
            paths << single(device).deviceFor(1);
    } else {
        const PortMap map = portMapFromSettings(ini);
        for (int n = FirstPort; n <= LastPort; ++n)
            if (map.hasEntry(n) && isDevice(map.deviceFor(n)))
                paths << map.deviceFor(n);
        // The system lists only built-in ports that have a UART behind them.
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
            const QString path = info.systemLocation();
            for (const char *prefix : {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"})
                if (path.startsWith(QLatin1String(prefix)))
                    paths << path;
        }
    }
    // One device under two names (a link under /dev/serial/by-id) is tried once.
    QStringList unique, seen;
    for (const QString &path : paths) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        const QString key = canonical.isEmpty() ? path : canonical;
        if (!seen.contains(key)) {
            seen << key;
            unique << path;
        }
    }
    return unique;
}

int probe(const QStringList &devices, QTextStream &out, QTextStream &err) {
    if (devices.isEmpty()) {
        err << "torvika-send: no serial device to probe; name one with --device" << Qt::endl;
        return NoAnswer;
    }
    const int speeds[] = {protocol::ModuleSpeedLow, protocol::ModuleSpeedHigh};
    err << "torvika-send: probing " << devices.join(QStringLiteral(", ")) << " at " << speeds[0]
        << " and " << speeds[1]
        << " bit/s, sending each only the read-inputs query (FE 0A) and putting its line "
           "settings back"
        << Qt::endl;
    bool found = false;
    for (const QString &device : devices) {
        bool answered = false;
        for (const int speed : speeds) {
            out << device << " at " << speed << " bit/s: ";
            if (answered) {
                out << "not tried, it answered at " << speeds[0] << Qt::endl;
                continue;
            }
            DeviceLine line(device, protocol::lineSettingsText(speed));
            const PortResult opened = line.open();
            PortResult written;
            const auto reply =
                opened ? queryInputs(
                             line, [&line](int ms) { return line.waitForInput(ms); }, written)
                       : std::nullopt;
            if (!opened)
                out << "cannot be opened: " << opened.reason;
            else if (!written)
                out << "cannot be written: " << written.reason;
            else if (reply)
                out << "answered " << inputsLine(*reply);
            else
                out << "no answer";
            out << Qt::endl;
            answered = reply.has_value();
        }
        found = found || answered;
    }
    return found ? Done : NoAnswer;
}

int run(const Invocation &inv, const QString &executableFolder, const QString &version,
        QTextStream &out, QTextStream &err) {
    switch (inv.action) {
    case Invocation::Action::Help:
        out << usageText();
        return Done;
    case Invocation::Action::Version:
        out << "torvika-send " << version << Qt::endl;
        return Done;
    case Invocation::Action::Probe: {
        const ModIni ini = settingsFile(inv, executableFolder);
        if (!inv.settingsFile.isEmpty()) {
            if (const Target checked = resolveTarget(inv, ini); !checked.problem.isEmpty()) {
                err << "torvika-send: " << checked.problem << Qt::endl;
                return BadArguments;
            }
        }
        return probe(probeCandidates(inv, ini), out, err);
    }
    case Invocation::Action::Send:
        break;
    }
    if (inv.dryRun && inv.readStdin)
        return sendLines(STDIN_FILENO, nullptr, {}, out, err);
    if (inv.dryRun) {
        for (const QString &line : frameLines(inv.steps))
            out << line << '\n';
        out.flush();
        return Done;
    }
    const Target target = resolveTarget(inv, settingsFile(inv, executableFolder));
    for (const QString &warning : target.warnings)
        err << "torvika-send: " << warning << Qt::endl;
    if (!target.problem.isEmpty()) {
        err << "torvika-send: " << target.problem << Qt::endl;
        return BadArguments;
    }
    DeviceLine line(target.device, target.settings);
    if (const PortResult opened = line.open(); !opened) {
        err << "torvika-send: " << target.device << ": " << opened.reason << Qt::endl;
        return DeviceUnusable;
    }
    const WaitForInput wait = [&line](int ms) { return line.waitForInput(ms); };
    if (endSignal())
        return endedBy(endSignal());
    return inv.readStdin ? sendLines(STDIN_FILENO, &line, wait, out, err)
                         : sendSteps(inv.steps, line, wait, out, err);
}

} // namespace torvika::sendcli
