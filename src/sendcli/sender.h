#pragma once

#include "platform/serialport.h"
#include "sendcli/arguments.h"
#include "settings/modini.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

// What torvika-send does with a checked command line: finds the device as the panel would,
// sends, reads the inputs, probes.
namespace torvika::sendcli {

enum ExitStatus { Done = 0, DeviceUnusable = 1, BadArguments = 2, NoAnswer = 3 };

// The settings file: the one --settings names, else the panel's own, found the same way.
ModIni settingsFile(const Invocation &inv, const QString &executableFolder);

// The device and line settings of a call, by the panel's rules: --device, else the port
// (--port, else the file's CommPort) through the file's [Ports]; --speed, else the file's
// Setting.
struct Target {
    QString device;
    QString settings;     // "9600,n,8,1"
    QStringList warnings; // values of the file that the panel too would not use, and why
    QString problem;      // the file named with --settings cannot be used: nothing is sent
};
Target resolveTarget(const Invocation &inv, const ModIni &ini);

// Waits at most the given milliseconds for received bytes; true when some are waiting.
using WaitForInput = std::function<bool(int)>;

// Writes every step in order through `port`, printing what read-inputs reads; stops at the
// first write that fails (exit status 1) and, between frames, at SIGINT, SIGTERM or SIGHUP
// (128 + the signal).
int sendSteps(const QList<Step> &steps, SerialPort &port, const WaitForInput &waitForInput,
              QTextStream &out, QTextStream &err);

// --stdin: one command line a line of `input`, each sent as soon as it is read; a bad line is
// named with its number and skipped (exit status 2 at the end). No port: a dry run.
int sendLines(int input, SerialPort *port, const WaitForInput &waitForInput, QTextStream &out,
              QTextStream &err);

// The devices probe tries: those named, else the mapped ports and the system's serial ports
// (ttyS, ttyUSB, ttyACM) that are there, each once.
QStringList probeCandidates(const Invocation &inv, const ModIni &ini);
int probe(const QStringList &devices, QTextStream &out, QTextStream &err);

// The whole call: help, version, dry run, send or probe.
int run(const Invocation &inv, const QString &executableFolder, const QString &version,
        QTextStream &out, QTextStream &err);

} // namespace torvika::sendcli
