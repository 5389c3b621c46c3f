#pragma once

#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/pixelcell.h"
#include "platform/portsettings.h"
#include "platform/systemserialport.h"
#include "support/data.h"
#include "support/messageboxrecorder.h"
#include "support/ptypeer.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
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

// The panel with its configuration dialog open and active, driven by steps.
struct Studio {
    WiredPanel panel;
    FrmUDChar *dialog = panel.dialog();

    Studio() { QVERIFY(QTest::qWaitForWindowActive(dialog)); }
    PixelCell *cell(int row, int weight) const { // 0, 16: top row, leftmost
        static const char *const rows[] = {"UDC1",  "UDC1A", "UDC1B", "UDC1C",
                                           "UDC1D", "UDC1E", "UDC1F", "UDC1G"};
        return dialog->controls().get<PixelCell>(rows[row], weight);
    }
    PixelCell *cell(const QString &rowAndWeight) const { // "0:16"
        return cell(rowAndWeight.section(u':', 0, 0).toInt(),
                    rowAndWeight.section(u':', 1).toInt());
    }
    // Steps: "cell 0:16" clicks a cell, "drag 0:16 1:16 ..." presses on the first cell and
    // moves over the others, "click cmdSetUD(3)", "act actUndo", "keys 0:16 Ctrl+Z" types on a
    // focused cell, "clip <text>" puts text on the clipboard, "type txtLine1 abc" types into a
    // field, "set txtLine1 abc" pastes into it.
    void run(const QStringList &steps) {
        for (const QString &step : steps) {
            const QString verb = step.section(u' ', 0, 0), rest = step.section(u' ', 1);
            const QStringList cells = rest.split(u' ');
            if (verb == u"cell" || verb == u"click") {
                QWidget *target = verb == u"cell" ? cell(rest) : dialog->controls().find(rest);
                QVERIFY2(target, qPrintable(step));
                QTest::mouseClick(target, Qt::LeftButton);
            } else if (verb == u"drag") {
                QTest::mousePress(cell(cells.first()), Qt::LeftButton);
                for (const QString &c : cells.mid(1))
                    QTest::mouseMove(cell(c));
                QTest::mouseRelease(cell(cells.last()), Qt::LeftButton);
            } else if (verb == u"act") {
                dialog->findChild<QAction *>(rest)->trigger();
            } else if (verb == u"keys") {
                cell(cells[0])->setFocus();
                QTest::keySequence(cell(cells[0]), QKeySequence(cells.value(1)));
            } else if (verb == u"clip") {
                QGuiApplication::clipboard()->setText(rest);
            } else if (verb == u"type" || verb == u"set") {
                auto *field = dialog->controls().get<QLineEdit>(qPrintable(cells[0]));
                QVERIFY2(field, qPrintable(step));
                const QString text = rest.section(u' ', 1);
                verb == u"type" ? QTest::keyClicks(field, text) : field->setText(text);
            } else if (verb == u"enabled") { // "10": Undo enabled, Redo greyed
                QCOMPARE(QString::number(dialog->findChild<QAction *>("actUndo")->isEnabled()) +
                             QString::number(dialog->findChild<QAction *>("actRedo")->isEnabled()),
                         rest);
            }
        }
    }
    // Set As Char 3, Send Bitmap to LCD put the grid on the line as character 3: it holds `rows`.
    void expectOnLine(const QByteArray &rows) {
        run({"click cmdSetUD(3)", "click cmdLoadUD"});
        const QByteArray frame =
            QByteArray::fromHex("FE64") + QByteArray(24, '\0') + rows + QByteArray(32, '\0');
        QCOMPARE(panel.peer.read(66).toHex(' '), frame.toHex(' '));
    }
};

} // namespace torvika::test
