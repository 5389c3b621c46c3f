#include "sendcli/sender.h"

#include "link/portaccess.h"
#include "link/transmitter.h"
#include "platform/linesettings.h"
#include "platform/portsettings.h"
#include "platform/systemserialport.h"
#include "protocol/frames.h"
#include "settings/startvalues.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace torvika::sendcli {

namespace {

// As long as the panel gives the module to answer "Read Input".
constexpr int ReplyWaitMs = Transmitter::ReplyWaitTicks * Transmitter::TickIntervalMs;

PortMap single(const QString &device) {
    PortMap map;
    map.set(1, device);
    return map;
}

// The port on one device, its bytes on the line before closing puts its settings back.
struct Port {
    Port(const QString &device, const QString &settings) : port(single(device)) {
        port.setCommPort(1);
        port.setSettings(settings);
    }
    ~Port() { port.drain(); }
    SystemSerialPort port;
};

// Sends the read-inputs query and waits for the one byte; none when nothing came.
std::optional<std::uint8_t> queryInputs(SystemSerialPort &port, PortResult &written) {
    port.input(); // a byte that was waiting is no answer to this query
    written = port.write(protocol::readInputs().toByteArray());
    if (!written || !port.waitForInput(ReplyWaitMs))
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

ExitStatus send(const QList<Step> &steps, const Target &target, QTextStream &out,
                QTextStream &err) {
    Port line(target.device, target.settings);
    SystemSerialPort &port = line.port;
    const auto unusable = [&](const PortResult &why) {
        err << "torvika-send: " << target.device << ": " << why.reason << Qt::endl;
        return DeviceUnusable;
    };
    if (const PortResult opened = port.open(); !opened)
        return unusable(opened);
    ExitStatus status = Done;
    for (const Step &step : steps) {
        if (step.readsReply) {
            PortResult written;
            if (const auto reply = queryInputs(port, written)) {
                out << inputsLine(*reply) << Qt::endl;
            } else if (!written) {
                return unusable(written);
            } else {
                err << NoResponseText << Qt::endl;
                status = NoAnswer; // the panel goes on after the message; so does the rest
            }
            continue;
        }
        for (const QByteArray &bytes : step.writes)
            if (const PortResult written = port.write(bytes); !written)
                return unusable(written);
    }
    return status;
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

ExitStatus probe(const QStringList &devices, QTextStream &out, QTextStream &err) {
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
            Port line(device, protocol::lineSettingsText(speed));
            const PortResult opened = line.port.open();
            PortResult written;
            const auto reply = opened ? queryInputs(line.port, written) : std::nullopt;
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

ExitStatus run(const Invocation &inv, const QString &executableFolder, const QString &version,
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
    return send(inv.steps, target, out, err);
}

} // namespace torvika::sendcli
