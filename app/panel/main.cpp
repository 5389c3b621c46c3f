#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "platform/qtmessageboxes.h"
#include "platform/systemserialport.h"
#include "settings/modini.h"
#include "shared/modvariables.h"

#include <QApplication>

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
    return app.exec();
}
