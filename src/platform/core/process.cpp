#include "platform/process.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace torvika::process {

namespace {

// How many arguments a window system option takes after itself, or -1 for none of its own.
int windowSystemOption(const QString &argument) {
    static const QStringList WithValue{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry")};
    static const QStringList Flags{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"), QStringLiteral("dograb")};
    if (!argument.startsWith(u'-'))
        return -1;
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    if (name.startsWith(QLatin1String("qmljsdebugger=")))
        return 0;
    const qsizetype equals = name.indexOf(u'=');
    if (equals >= 0)
        return WithValue.contains(name.left(equals)) ? 0 : -1;
    return WithValue.contains(name) ? 1 : Flags.contains(name) ? 0 : -1;
}

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

} // namespace

std::optional<int> parseCommandLine(QCommandLineParser &parser, int argc, char *argv[],
                                    qsizetype maxArguments) {
    const QString invoked = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString();
    QStringList own{invoked};
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const int values = windowSystemOption(argument);
        if (values < 0)
            own << argument;
        else
            i += values;
    }
    const QString program = QFileInfo(invoked).fileName();
    // Without the application object the parser cannot know the program's name.
    const QString usage = parser.helpText().replace(QLatin1String("<executable_name>"), program);
    if (!parser.parse(own) || parser.positionalArguments().size() > maxArguments) {
        const QString problem = parser.errorText().isEmpty()
                                    ? QStringLiteral("unexpected argument \"%1\"")
                                          .arg(parser.positionalArguments().value(maxArguments))
                                    : parser.errorText();
        std::fprintf(stderr, "%s: %s\n%s", qPrintable(program), qPrintable(problem),
                     qPrintable(usage));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(usage), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(program),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return std::nullopt;
}

void onTerminationSignals(QObject *context, std::function<void()> handler) {
    // The handler only writes a byte; everything else happens in the event loop.
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler] {
        char bytes[64];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        handler();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace torvika::process
