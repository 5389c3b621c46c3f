#pragma once

#include "sendcli/arguments.h"
#include "settings/modini.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

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

// Writes every step in order, printing what read-inputs reads.
ExitStatus send(const QList<Step> &steps, const Target &target, QTextStream &out, QTextStream &err);

// The devices probe tries: those named, else the mapped ports and the system's serial ports
// (ttyS, ttyUSB, ttyACM) that are there, each once.
QStringList probeCandidates(const Invocation &inv, const ModIni &ini);
ExitStatus probe(const QStringList &devices, QTextStream &out, QTextStream &err);

// The whole call: help, version, dry run, send or probe.
ExitStatus run(const Invocation &inv, const QString &executableFolder, const QString &version,
               QTextStream &out, QTextStream &err);

} // namespace torvika::sendcli
