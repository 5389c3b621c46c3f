#pragma once

#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "platform/systemserialport.h"
#include "support/data.h"
#include "support/messageboxrecorder.h"
#include "support/ptypeer.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

#include <memory>

namespace torvika::test {

// The usual settings file: the defaults, port 1 mapped to the pty ("%PTY%").
inline const QByteArray UsualSettings = "[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n"
                                        "[LCD]\r\nBL=155\r\n[Ports]\r\n1=%PTY%\r\n";

// The panel as a user meets it: the main window on the real serial port, its settings file
// in a folder of its own, port 1 on a pty whose far end the test holds, message boxes recorded.
struct WiredPanel {
    PtyPeer peer;
    QTemporaryDir dir;
    ModVariables vars;
    ModIni ini{dir.path()};
    std::unique_ptr<SystemSerialPort> port;
    MessageBoxRecorder boxes;
    std::unique_ptr<FrmMain> window;

    // settings: the file's content, "%PTY%" standing for the pty; a null array writes none.
    explicit WiredPanel(const QByteArray &settings = UsualSettings, bool show = true) {
        installFontSubstitutions();
        QFile f(ini.fileName());
        if (!settings.isNull() && f.open(QIODevice::WriteOnly))
            f.write(QByteArray(settings).replace("%PTY%", peer.slavePath().toLocal8Bit()));
        f.close();
        port = std::make_unique<SystemSerialPort>(portMapFromSettings(ini));
        window = std::make_unique<FrmMain>(vars, ini, *port, boxes);
        window->setVisible(show);
    }
    template <typename T> T *get(const char *name, int index = -1) {
        return window->controls().get<T>(name, index);
    }
    // A left click on the main window's button; false when there is no such button.
    bool click(const char *name, int index = -1) {
        QWidget *button = get<QPushButton>(name, index);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        return button;
    }
    // Selects the item with exactly this text in the main window's list.
    void choose(const char *list, const QString &text) {
        get<QComboBox>(list)->setCurrentIndex(get<QComboBox>(list)->findText(text));
    }
    QString trace() { return get<QLabel>("lblTxData")->text(); }
    FrmUDChar *dialog() { // "Config LCD"
        window->mnuConfig()->trigger();
        return window->configDialog();
    }
    QByteArray fileAfterClose() {
        window->close();
        QFile f(ini.fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace torvika::test
