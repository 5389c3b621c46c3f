#pragma once

#include "link/trafficrecorder.h"
#include "link/transmitter.h"
#include "platform/accessibility.h"
#include "platform/layout.h"
#include "platform/messageboxes.h"
#include "platform/serialport.h"
#include "protocol/frames.h"
#include "settings/modini.h"
#include "settings/startvalues.h"
#include "shared/modvariables.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <span>

class QAction;

namespace torvika {

class FrmUDChar;
namespace trafficlog {
class DisplayMirror;
class TrafficWindow;
} // namespace trafficlog

// The main window's fixed layout, one row per control (frmmain_layout.cpp).
std::span<const layout::Item> frmMainLayout();
// Spoken names of the controls whose caption does not say what they are.
std::span<const accessibility::SpokenName> frmMainSpokenNames();
// Client area of the main window, in twips.
constexpr int FrmMainClientWidth = 10410;
constexpr int FrmMainClientHeight = 7995;

// The control panel. Owns the transmit path and the configuration dialog; uses the
// program's one serial port, settings file and message boxes.
class FrmMain : public QMainWindow, private TrafficMonitor {
    Q_OBJECT
public:
    FrmMain(ModVariables &vars, ModIni &ini, SerialPort &port, MessageBoxes &boxes,
            QWidget *parent = nullptr);
    ~FrmMain() override;

    const layout::Controls &controls() const { return controls_; }
    Transmitter &transmitter() { return transmitter_; }
    SerialPort &port() { return port_; }
    // nullptr until "Config LCD" is first chosen.
    FrmUDChar *configDialog() const { return dialog_.get(); }
    QAction *mnuConfig() const { return mnuConfig_; }
    // Everything the panel wrote and read, and what happened to the port, since start.
    TrafficRecorder &trafficRecorder() { return recorder_; }
    trafficlog::DisplayMirror &displayMirror() { return *mirror_; }
    // nullptr until "Traffic Log" is first chosen.
    trafficlog::TrafficWindow *trafficWindow() const { return trafficWindow_.get(); }
    QAction *mnuTrafficLog() const { return mnuTrafficLog_; }

    // Lifecycle and port settings.
    void Form_Load();
    void Form_Unload();
    void opt9600_Click();
    void opt19200_Click();
    void cboComm_Click(int index);
    void mnuConfig_Click();
    void mnuTrafficLog_Click();

    // Text and cursor panel.
    void txtASCIIInput_KeyPress(const QString &typed);
    void cmdLCD_Click(int Index);
    void cmdBackspace_Click();
    void cmdCustom_Click(int Index);
    void cmdCL_Click();
    void cmdCR_Click();
    void cmdCurPos_Click();
    void cmdClearCR_Click(int Index);
    void cmdCursor_Click();

    // Backlight, I/O, bar graph and save panel.
    void cmdBL_Click(int Index);
    void Backlightlevel_Change();
    void cmdOut_Click();
    void cmdReadInput_Click();
    void cmdInitGraph_Click();
    void cmdGraph_Click(int Index);
    void cmdCustomChar_Click();
    void cmdDSU_Click();
    void cmdSave_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // TrafficMonitor
    void clearTrace() override;
    void appendTransmitted(const QString &text) override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Closes an open port, the cause on record for the traffic log and for a command that
    // finds the port closed after its wait.
    void closePortFor(const QString &cause);
    void changeLineSpeed(const QString &settings, const QString &option);
    // Each entry of the port list tells its device and whether it is there now.
    void refreshPortToolTips();
    // Fills TxData with the frame and sends it; false when it did not all go out (or there
    // was no frame: a computed byte out of range).
    bool sendFrame(const std::optional<protocol::Frame> &frame);
    // Selected position of a list: the item whose text is exactly the list's text, or -1 after
    // telling the user which values the list takes.
    int selectedPosition(const char *list);
    // A character typed into txtASCIIInput: false when it cannot be sent (nothing was sent).
    bool sendTyped(const QString &typed);
    // Wires the command panels' controls to their handlers (frmmain_commands.cpp).
    void connectCommandPanels();

    ModVariables &vars_;
    ModIni &ini_;
    SerialPort &port_;
    MessageBoxes &boxes_;
    // The main window and the dialog each write through their own recorded view of port_.
    TrafficRecorder recorder_;
    RecordedPort mainPort_;
    RecordedPort dialogPort_;
    std::unique_ptr<trafficlog::DisplayMirror> mirror_;
    Transmitter transmitter_;
    layout::Controls controls_;
    QAction *mnuConfig_ = nullptr;
    QAction *mnuTrafficLog_ = nullptr;
    std::unique_ptr<FrmUDChar> dialog_;
    std::unique_ptr<trafficlog::TrafficWindow> trafficWindow_;

    // The three values as read, written back unchanged at close.
    RememberedTexts asRead_;
    // Unusable settings found at start, shown once the window is first shown.
    QString settingsProblems_;
    bool closed_ = false;
    bool centred_ = false;
    // Whether the last typed key was a character that went to the display.
    bool sendableTyped_ = false;
    // What of the panel's own closed the port last ("the line-speed change to 19200 bps"),
    // so a command that finds it closed after a wait tells the true reason.
    QString portClosedBy_;
};

} // namespace torvika
