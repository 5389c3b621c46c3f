// The main window's command panels: each control builds its frame from the controls' state
// and sends it at once.
#include "mainwindow/frmmain.h"

#include "link/portaccess.h"
#include "mainwindow/lists.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

namespace torvika {

void FrmMain::connectCommandPanels() {
    const auto onClick = [this](const char *name, int index, auto handler) {
        connect(controls_.get<QPushButton>(name, index), &QPushButton::clicked, this,
                [this, index, handler] { (this->*handler)(index); });
    };
    const auto onPlainClick = [this](const char *name, void (FrmMain::*handler)()) {
        connect(controls_.get<QPushButton>(name), &QPushButton::clicked, this, handler);
    };
    for (int i = 0; i < 3; ++i)
        onClick("cmdLCD", i, &FrmMain::cmdLCD_Click);
    for (int i = 0; i < 8; ++i)
        onClick("cmdCustom", i, &FrmMain::cmdCustom_Click);
    for (int i = 0; i < 2; ++i) {
        onClick("cmdClearCR", i, &FrmMain::cmdClearCR_Click);
        onClick("cmdBL", i, &FrmMain::cmdBL_Click);
        onClick("cmdGraph", i, &FrmMain::cmdGraph_Click);
    }
    onPlainClick("cmdBackspace", &FrmMain::cmdBackspace_Click);
    onPlainClick("cmdCL", &FrmMain::cmdCL_Click);
    onPlainClick("cmdCR", &FrmMain::cmdCR_Click);
    onPlainClick("cmdCurPos", &FrmMain::cmdCurPos_Click);
    onPlainClick("cmdCursor", &FrmMain::cmdCursor_Click);
    onPlainClick("cmdOut", &FrmMain::cmdOut_Click);
    onPlainClick("cmdReadInput", &FrmMain::cmdReadInput_Click);
    onPlainClick("cmdInitGraph", &FrmMain::cmdInitGraph_Click);
    onPlainClick("cmdCustomChar", &FrmMain::cmdCustomChar_Click);
    onPlainClick("cmdDSU", &FrmMain::cmdDSU_Click);
    onPlainClick("cmdSave", &FrmMain::cmdSave_Click);

    // Keys, clicks and page steps send each value; a drag sends the value it ends on.
    auto *slider = controls_.get<QSlider>("Backlightlevel");
    connect(slider, &QSlider::valueChanged, this, [this, slider] {
        if (!slider->isSliderDown())
            Backlightlevel_Change();
    });
    connect(slider, &QSlider::sliderReleased, this, &FrmMain::Backlightlevel_Change);

    // Only typing sends: no paste by menu, drop or middle click.
    auto *field = controls_.get<QLineEdit>("txtASCIIInput");
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->setAcceptDrops(false);
    field->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event) {
    auto *ports = controls_.get<QComboBox>("cboComm");
    if (watched == ports) {
        // Looked up when the user looks, not at start: devices come and go.
        const QEvent::Type t = event->type();
        if (t == QEvent::ToolTip || t == QEvent::MouseButtonPress || t == QEvent::KeyPress)
            refreshPortToolTips();
        return false;
    }
    auto *field = controls_.get<QLineEdit>("txtASCIIInput");
    if (watched != field)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste))
            return true;
        if (key->text().isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false; // arrows, Shift, focus moves: no character
        txtASCIIInput_KeyPress(key->text());
        // The field takes the character only when it went to the display.
        return !sendableTyped_;
    }
    case QEvent::InputMethod: {
        const auto *im = static_cast<QInputMethodEvent *>(event);
        if (im->commitString().isEmpty())
            return false; // composing, nothing committed yet
        txtASCIIInput_KeyPress(im->commitString());
        return !sendableTyped_;
    }
    case QEvent::MouseButtonRelease:
        // Middle click pastes the selection on X11.
        return static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

void FrmMain::txtASCIIInput_KeyPress(const QString &typed) {
    controls_.get<QLineEdit>("txtASCIIInput")->clear();
    sendableTyped_ = sendTyped(typed);
}

bool FrmMain::sendTyped(const QString &typed) {
    const protocol::TypedText text = protocol::typedText(typed);
    if (!text.problem.isEmpty()) {
        boxes_.information(AppTitle, text.problem);
        return false;
    }
    for (const char code : text.bytes)
        sendFrame(protocol::textChar(static_cast<std::uint8_t>(code)));
    return !text.bytes.isEmpty();
}

bool FrmMain::sendFrame(const std::optional<protocol::Frame> &frame) {
    if (!frame)
        return false;
    for (int i = 0; i < frame->size; ++i)
        vars_.TxData[static_cast<std::size_t>(i)] = frame->bytes[static_cast<std::size_t>(i)];
    return transmitter_.SendTxData(frame->size);
}

int FrmMain::selectedPosition(const char *list) {
    auto *box = controls_.get<QComboBox>(list);
    const int position =
        box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (position < 0)
        boxes_.information(AppTitle, noChoiceMessage(listSpec(list), box->currentText()));
    return position;
}

void FrmMain::cmdLCD_Click(int Index) {
    sendFrame(protocol::lcdControl(Index));
}
void FrmMain::cmdBackspace_Click() {
    sendFrame(protocol::backspace());
}
void FrmMain::cmdCustom_Click(int Index) {
    sendFrame(protocol::insertCustomChar(Index));
}
void FrmMain::cmdCL_Click() {
    sendFrame(protocol::cursorLeft());
}
void FrmMain::cmdCR_Click() {
    sendFrame(protocol::cursorRight());
}

void FrmMain::cmdCurPos_Click() {
    const int row = selectedPosition("cboRow");
    if (row < 0)
        return;
    const int column = selectedPosition("cboColumn");
    if (column < 0)
        return;
    sendFrame(protocol::setCursorPosition(row, column));
}

void FrmMain::cmdClearCR_Click(int Index) {
    const int position = Index == 0 ? selectedPosition("cboRow") : selectedPosition("cboColumn");
    if (position >= 0)
        sendFrame(protocol::clearRowOrColumn(Index, position));
}

void FrmMain::cmdCursor_Click() {
    const int position = selectedPosition("cboCursor");
    if (position >= 0)
        sendFrame(protocol::cursorStyle(position));
}

void FrmMain::cmdBL_Click(int Index) {
    sendFrame(protocol::backlight(Index));
}

void FrmMain::Backlightlevel_Change() {
    sendFrame(protocol::setBrightness(controls_.get<QSlider>("Backlightlevel")->value()));
}

void FrmMain::cmdOut_Click() {
    bool on[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QByteArray list = "cboOut" + QByteArray::number(i + 1);
        const int position = selectedPosition(list.constData());
        if (position < 0)
            return;
        on[i] = position == 0;
    }
    sendFrame(protocol::setOutputs(protocol::outputMask(on[0], on[1], on[2])));
}

void FrmMain::cmdReadInput_Click() {
    if (!sendFrame(protocol::readInputs()))
        return; // the port message has been shown; there is nothing to wait for
    portClosedBy_.clear();
    transmitter_.WaitTicks(Transmitter::ReplyWaitTicks);
    if (!mainPort_.isOpen()) {
        // Closed during the wait: by the panel itself (a click that ran meanwhile), or by the
        // port layer on an error of the device.
        const QString reason = portClosedBy_.isEmpty()
                                   ? QStringLiteral("the device went away")
                                   : QStringLiteral("the port was closed by ") + portClosedBy_;
        reportPortUnavailable(
            boxes_, mainPort_,
            PortResult::failure(reason + QStringLiteral(" while the panel waited for the reply")));
        return;
    }
    const QByteArray reply = mainPort_.inBufferCount() > 0 ? mainPort_.input() : QByteArray();
    if (reply.isEmpty()) {
        mainPort_.noAnswer(Transmitter::ReplyWaitTicks * Transmitter::TickIntervalMs);
        boxes_.information(AppTitle, NoResponseText);
        return;
    }
    const auto inputs = protocol::decodeInputs(static_cast<std::uint8_t>(reply.front()));
    for (int i = 0; i < 3; ++i)
        controls_.get<QLabel>("lblInput", i)
            ->setText(protocol::inputText(inputs[static_cast<std::size_t>(i)]));
}

void FrmMain::cmdInitGraph_Click() {
    sendFrame(protocol::initGraph());
}

void FrmMain::cmdGraph_Click(int Index) {
    const int position = selectedPosition("cboGraph");
    if (position >= 0)
        sendFrame(protocol::graph(Index, position));
}

void FrmMain::cmdCustomChar_Click() {
    sendFrame(protocol::loadCustomChars());
}
void FrmMain::cmdDSU_Click() {
    sendFrame(protocol::showStartupScreen());
}

void FrmMain::cmdSave_Click() {
    if (!boxes_.question(QStringLiteral("Save Setting"),
                         QStringLiteral("Save Settings in non-volatile memory")))
        return;
    if (sendFrame(protocol::saveSettings()))
        writeDirect(mainPort_, boxes_, protocol::SettingsSavedText);
}

} // namespace torvika
