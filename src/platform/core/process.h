#pragma once

#include <QCommandLineParser>

#include <functional>
#include <optional>

class QObject;

// What a program does at its edges on Linux: its command line and the signals that end it.
namespace torvika::process {

// Reads the command line with `parser` (set up with its help and version options) before the
// window system is touched, so --help and --version work without a display. The window
// system's own options (-platform, -style, ...) are left for it. Returns the exit status when
// the program is to end at once: 0 after --help or --version (printed on standard output), 2
// after an unknown option or more than `maxArguments` arguments (the usage on standard error);
// nullopt to run.
std::optional<int> parseCommandLine(QCommandLineParser &parser, int argc, char *argv[],
                                    qsizetype maxArguments = 0);

// From now on SIGTERM, SIGHUP and SIGINT no longer end the program at once: `handler` runs in
// the event loop instead (a signal that comes before the loop runs waits for it). Call once,
// after the application object exists; `context` owns the watch.
void onTerminationSignals(QObject *context, std::function<void()> handler);

} // namespace torvika::process
