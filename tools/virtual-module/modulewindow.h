#pragma once

#include "session.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;

namespace torvika::vmodule {

// The 2 x 16 dot-matrix display as the module shows it.
class LcdView : public QWidget {
    Q_OBJECT
public:
    explicit LcdView(const DisplayModel &model, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const DisplayModel &model_;
    bool blinkOn_ = true;
};

// The module's window: the display, the output lamps, the input switches and the frames.
class ModuleWindow : public QWidget {
    Q_OBJECT
public:
    explicit ModuleWindow(Session &session, const PtyLink &link, QWidget *parent = nullptr);

private:
    void refresh();
    void log(const QString &line);

    Session &session_;
    LcdView *lcd_;
    QLabel *lamps_[3];
    QCheckBox *switches_[3];
    QLabel *status_;
    QListWidget *frames_;
};

} // namespace torvika::vmodule
