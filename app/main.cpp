#include "mainwindow/frmmain.h"
#include "mainwindow/portsettings.h"
#include "platform/fonts.h"
#include "platform/messageboxes.h"
#include "platform/systemserialport.h"
#include "settings/modini.h"
#include "shared/modvariables.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

// For the start-up benchmark: once the window is shown, print the resident memory and quit.
void reportShownAndQuit() {
    QFile status(QStringLiteral("/proc/self/status"));
    QByteArray rss = "0";
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').value(0);
    std::printf("shown rss_kb=%s\n", rss.constData());
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
