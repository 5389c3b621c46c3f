#pragma once

#include "platform/messageboxes.h"

namespace torvika {

// QMessageBox, application-modal, no icon.
class QtMessageBoxes final : public MessageBoxes {
public:
    void information(const QString &caption, const QString &text,
                     const QString &detail = {}) override;
    bool question(const QString &caption, const QString &text) override;
};

} // namespace torvika
