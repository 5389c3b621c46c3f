#pragma once

#include "platform/messageboxes.h"

#include <QList>
#include <QQueue>

#include <algorithm>

namespace torvika::test {

// Lists every message box the program shows and answers its questions from a script, so no
// modal box ever blocks a test.
class MessageBoxRecorder final : public MessageBoxes {
public:
    struct Shown {
        QString caption, text, detail;
        bool question = false;
    };

    void information(const QString &caption, const QString &text,
                     const QString &detail = {}) override {
        shown.append({caption, text, detail, false});
    }
    bool question(const QString &caption, const QString &text) override {
        shown.append({caption, text, {}, true});
        return answers.isEmpty() ? true : answers.dequeue();
    }

    QStringList texts() const {
        QStringList all;
        std::transform(shown.begin(), shown.end(), std::back_inserter(all),
                       [](auto &s) { return s.text; });
        return all;
    }

    QList<Shown> shown;
    QQueue<bool> answers; // empty: Yes
};

} // namespace torvika::test
