#pragma once

#include "mainwindow/frmmain.h"
#include "platform/systemserialport.h"
#include "support/messageboxrecorder.h"
#include "support/ptypeer.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

namespace torvika::test {

// The panel as a user meets it: the main window shown, its port 1 mapped through the settings
// file to a pty whose far end the test holds, message boxes recorded.
struct WiredPanel {
    PtyPeer peer;
    QTemporaryDir dir;
    ModVariables vars;
    ModIni ini{dir.path()};
    std::unique_ptr<SystemSerialPort> port;
    MessageBoxRecorder boxes;
    std::unique_ptr<FrmMain> window;

    // extraSettings: more lines for the settings file, after the port mapping.
    explicit WiredPanel(const QByteArray &extraSettings = {});

    template <typename T> T *get(const char *name, int index = -1) {
        return window->controls().get<T>(name, index);
    }
    // A left click on the main window's button; false when there is no such button.
    bool click(const char *name, int index = -1);
    // Selects the item with exactly this text in the main window's list.
    void choose(const char *list, const QString &text);
    QString trace();
};

} // namespace torvika::test
