// torvika-send: the display's command set from the shell. Every argument is checked before
// anything is opened; see usageText() and the manual page.
#include "sendcli/arguments.h"
#include "sendcli/sender.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvika-send"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    using namespace torvika::sendcli;
    const ParseResult parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (!parsed.invocation) {
        err << "torvika-send: " << parsed.error << "\nNothing was sent. Try 'torvika-send --help'."
            << Qt::endl;
        return BadArguments;
    }
    return run(*parsed.invocation, QCoreApplication::applicationDirPath(),
               QStringLiteral(TORVIKA_VERSION), out, err);
}
