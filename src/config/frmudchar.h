#pragma once

#include "platform/messageboxes.h"
#include "platform/serialport.h"

#include <QWidget>

namespace torvika {

// The configuration dialog "Configure TORVIKA": custom characters, startup screen and the
// module's own line speed. One object for the whole run; it writes straight to the main
// window's port. (Skeleton: filled in by the dialog's own work.)
class FrmUDChar : public QWidget {
    Q_OBJECT
public:
    FrmUDChar(SerialPort &port, MessageBoxes &boxes, QWidget *parent = nullptr);
    ~FrmUDChar() override;

    // Shows the dialog modeless. When it was closed (or never shown) its controls are built
    // afresh from the layout and the load handler runs; when open, it is brought forward.
    void showDialog();

private:
    SerialPort &port_;
    MessageBoxes &boxes_;
};

} // namespace torvika
