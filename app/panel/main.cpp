#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "platform/process.h"
#include "platform/qtmessageboxes.h"
#include "platform/systemserialport.h"
#include "settings/modini.h"
#include "shared/modvariables.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("torvika-panel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORVIKA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control panel for the TORVIKA serial character display.\n"
                       "Takes no options of its own beside these; the window system's "
                       "own (-platform, -style, ...) are passed on."));
    parser.addHelpOption();
    parser.addVersionOption();
    if (const std::optional<int> status = torvika::process::parseCommandLine(parser, argc, argv))
        return *status;

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("torvika-panel"));
    torvika::installFontSubstitutions();

    torvika::ModVariables vars;
    torvika::ModIni ini(torvika::settingsFolderFor(QCoreApplication::applicationDirPath()));
    torvika::SystemSerialPort port(torvika::portMapFromSettings(ini));
    torvika::QtMessageBoxes boxes;

    torvika::FrmMain window(vars, ini, port, boxes);
    // Logging out or a kill ends the panel as closing its window does: the settings are
    // written back. Quitting as well ends any message box that is open.
    torvika::process::onTerminationSignals(&app, [&window] {
        window.close();
        QCoreApplication::quit();
    });
    window.show();
    return app.exec();
}
