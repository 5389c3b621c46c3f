#pragma once

#include "module/displaymodel.h"

#include <QWidget>

#include <array>

class QLabel;

namespace torvika::moduleview {

// The 2 x 16 dot-matrix display as the module shows it, drawn from a model: the characters
// with the user characters, the cursor in its style, the backlight and its level.
class LcdView : public QWidget {
    Q_OBJECT
public:
    explicit LcdView(const module::DisplayModel &model, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const module::DisplayModel &model_;
    bool blinkOn_ = true;
};

// The three output lamps, numbered, lit for each output the model has switched on.
class OutputLamps : public QWidget {
    Q_OBJECT
public:
    explicit OutputLamps(QWidget *parent = nullptr);
    void setOutputs(std::uint8_t outputs);

private:
    std::array<QLabel *, protocol::Outputs> lamps_{};
};

} // namespace torvika::moduleview
