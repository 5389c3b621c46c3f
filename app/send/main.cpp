// torvika-send: the display's command set from the shell. Every argument is checked before
// anything is opened; see usageText() and the manual page.
#include "sendcli/arguments.h"
#include "sendcli/endsignals.h"
#include "sendcli/sender.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[]) {
    using namespace torvika::sendcli;
    catchEndSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvika-send"));
    QFile output;
    output.open(stdout, QIODevice::WriteOnly);
    QTextStream out(&output);
    QTextStream err(stderr);

    const ParseResult parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (!parsed.invocation) {
        err << "torvika-send: " << parsed.error << "\nNothing was sent. Try 'torvika-send --help'."
            << Qt::endl;
        return BadArguments;
    }
    int status = run(*parsed.invocation, QCoreApplication::applicationDirPath(),
                     QStringLiteral(TORVIKA_VERSION), out, err);
    // Output that went nowhere is a failure, but only once every command has gone out.
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "torvika-send: cannot write to standard output: " << output.errorString()
            << Qt::endl;
        if (status == Done)
            status = DeviceUnusable;
    }
    return status;
}
