#include "mainwindow/frmmain.h"
#include "mainwindow/portsettings.h"
#include "platform/fonts.h"
#include "platform/messageboxes.h"
#include "platform/residentmemory.h"
#include "platform/systemserialport.h"
#include "settings/modini.h"
#include "shared/modvariables.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// For the start-up benchmark: once the window is shown, print the resident memory and quit.
void reportShownAndQuit() {
    std::printf("shown rss_kb=%ld\n", torvika::residentMemoryKb());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvika-panel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("torvika-panel"));
    torvika::installFontSubstitutions();

    torvika::ModVariables vars;
    torvika::ModIni ini(torvika::settingsFolderFor(QCoreApplication::applicationDirPath()));
    torvika::SystemSerialPort port(torvika::portMapFromSettings(ini));
    torvika::QtMessageBoxes boxes;

    torvika::FrmMain window(vars, ini, port, boxes);
    window.show();
    if (qEnvironmentVariableIsSet("TORVIKA_REPORT_SHOWN"))
        QTimer::singleShot(0, &app, reportShownAndQuit);
    return app.exec();
}
