#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "platform/process.h"
#include "platform/qtmessageboxes.h"
#include "platform/systemserialport.h"
#include "settings/modini.h"
#include "shared/modvariables.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

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
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A character set (.tvkchars) to open in the configuration dialog; "
                       "nothing is sent until you send it."),
        QStringLiteral("[file]"));
    if (const std::optional<int> status = torvika::process::parseCommandLine(parser, argc, argv, 1))
        return *status;
    const QString charSet = parser.positionalArguments().value(0);

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TORVIKA_APP_ID));
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
    // Once the main window is up, as if "Config LCD" had been chosen and the set opened there:
    // a file that cannot be read gets the dialog's message and the panel runs on.
    if (!charSet.isEmpty())
        QTimer::singleShot(0, &window, [&window, charSet] {
            window.mnuConfig()->trigger();
            if (torvika::FrmUDChar *dialog = window.configDialog())
                dialog->openCharacterSet(QFileInfo(charSet).absoluteFilePath());
        });
    return app.exec();
}
