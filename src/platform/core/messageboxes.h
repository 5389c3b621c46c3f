#pragma once

#include <QString>

namespace torvika {

// Message boxes as the program uses them: no icon, fixed texts. Tests answer them
// through a recorder so that no modal box ever blocks.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // OK button only. `detail` is an optional informative line under the main text.
    virtual void information(const QString &caption, const QString &text,
                             const QString &detail = {}) = 0;

    // Yes and No, Yes the default. Returns true for Yes.
    virtual bool question(const QString &caption, const QString &text) = 0;
};

} // namespace torvika
