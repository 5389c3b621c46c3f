// The virtual TORVIKA module: a pseudo-terminal the panel opens as its serial port, with a
// window showing the display, or headless with JSON lines on standard output.
#include "modulewindow.h"
#include "session.h"

#include "platform/process.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace torvika::vmodule;

namespace {

void printJson(const QJsonObject &object) {
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
}

QJsonObject stateEvent(const Session &session) {
    QJsonObject state = session.model().toJson();
    state.insert(QStringLiteral("event"), QStringLiteral("state"));
    state.insert(QStringLiteral("line"),
                 QJsonObject{{QStringLiteral("speed"),
                              session.lineSpeed() != 0 ? QJsonValue(session.lineSpeed())
                                                       : QJsonValue(QStringLiteral("no sender"))},
                             {QStringLiteral("mismatch"), session.speedMismatch()}});
    return state;
}

QString hex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Standard input, one command a line: "inputs N" (0 to 7), "state", "quit".
class CommandReader : public QObject {
public:
    CommandReader(Session &session, QCoreApplication &app)
        : session_(session), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
        connect(&notifier_, &QSocketNotifier::activated, this, [this, &app] {
            char buffer[1024];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                notifier_.setEnabled(false);
                app.quit(); // whoever started us is gone
                return;
            }
            pending_.append(buffer, n);
            qsizetype end;
            while ((end = pending_.indexOf('\n')) >= 0) {
                run(pending_.first(end).trimmed(), app);
                pending_.remove(0, end + 1);
            }
            if (pending_.size() > 4096)
                pending_.clear(); // no command is that long
        });
    }

private:
    void run(const QByteArray &line, QCoreApplication &app) {
        const QList<QByteArray> words = line.simplified().split(' ');
        bool ok = false;
        if (words.value(0) == "inputs" && words.size() == 2) {
            const int value = words[1].toInt(&ok, 0);
            if (ok && value >= 0 && value <= 7) {
                session_.setInputs(static_cast<std::uint8_t>(value));
                printJson(stateEvent(session_));
                return;
            }
        } else if (line == "state") {
            printJson(stateEvent(session_));
            return;
        } else if (line == "quit") {
            app.quit();
            return;
        } else if (line.isEmpty()) {
            return;
        }
        printJson({{QStringLiteral("event"), QStringLiteral("error")},
                   {QStringLiteral("message"),
                    QStringLiteral("unknown command \"%1\"; use: inputs 0..7, state, quit")
                        .arg(QString::fromLatin1(line.left(80)))}});
    }

    Session &session_;
    QSocketNotifier notifier_;
    QByteArray pending_;
};

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("torvika-virtual-module"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORVIKA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated TORVIKA display module on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR", QStringLiteral("/tmp"));
    const QCommandLineOption linkOption(
        QStringLiteral("link"), QStringLiteral("Where to put the link to the device."),
        QStringLiteral("path"), runtime + QStringLiteral("/torvika-module"));
    const QCommandLineOption stateOption(QStringLiteral("state-file"),
                                         QStringLiteral("The module's memory."),
                                         QStringLiteral("path"), defaultStateFile());
    const QCommandLineOption headlessOption(
        QStringLiteral("headless"),
        QStringLiteral("No window: JSON lines on standard output, commands on standard input."));
    parser.addOptions({linkOption, stateOption, headlessOption});
    // Before the application object: --help and --version need no display.
    if (const std::optional<int> status = torvika::process::parseCommandLine(parser, argc, argv))
        return *status;
    const bool headless = parser.isSet(headlessOption);
    std::unique_ptr<QCoreApplication> app = headless
                                                ? std::make_unique<QCoreApplication>(argc, argv)
                                                : std::make_unique<QApplication>(argc, argv);

    PtyLink link(parser.value(linkOption));
    if (const QString problem = link.open(); !problem.isEmpty()) {
        std::fprintf(stderr, "torvika-virtual-module: %s\n", qPrintable(problem));
        return 1;
    }
    Session session(link, parser.value(stateOption));
    // The link is removed on the way out.
    torvika::process::onTerminationSignals(app.get(), &QCoreApplication::quit);

    std::unique_ptr<ModuleWindow> window;
    std::unique_ptr<CommandReader> commands;
    if (headless) {
        QObject::connect(&session, &Session::frameDecoded,
                         [](const DecodedFrame &frame, const QString &problem) {
                             QJsonObject event{{QStringLiteral("event"), QStringLiteral("frame")},
                                               {QStringLiteral("bytes"), frame.hex()},
                                               {QStringLiteral("meaning"), frame.meaning()}};
                             if (!problem.isEmpty())
                                 event.insert(QStringLiteral("problem"), problem);
                             printJson(event);
                         });
        QObject::connect(&session, &Session::replied, [](const QByteArray &bytes) {
            printJson({{QStringLiteral("event"), QStringLiteral("reply")},
                       {QStringLiteral("bytes"), hex(bytes)}});
        });
        QObject::connect(&session, &Session::ignored,
                         [](const QByteArray &bytes, const QString &reason) {
                             printJson({{QStringLiteral("event"), QStringLiteral("ignored")},
                                        {QStringLiteral("bytes"), hex(bytes.left(64))},
                                        {QStringLiteral("count"), bytes.size()},
                                        {QStringLiteral("reason"), reason}});
                         });
        QObject::connect(&session, &Session::stateChanged,
                         [&session] { printJson(stateEvent(session)); });
        QJsonObject ready{{QStringLiteral("event"), QStringLiteral("ready")},
                          {QStringLiteral("link"), link.linkPath()},
                          {QStringLiteral("device"), link.devicePath()}};
        if (!session.memoryProblem().isEmpty())
            ready.insert(QStringLiteral("problem"), session.memoryProblem());
        printJson(ready);
        printJson(stateEvent(session));
        commands = std::make_unique<CommandReader>(session, *app);
    } else {
        window = std::make_unique<ModuleWindow>(session, link);
        window->show();
    }
    const int status = app->exec();
    link.removeLink();
    return status;
}
