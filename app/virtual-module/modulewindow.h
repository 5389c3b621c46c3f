#pragma once

#include "session.h"

#include "moduleview/lcdview.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;

namespace torvika::vmodule {

// The module's window: the display, the output lamps, the input switches and the frames.
class ModuleWindow : public QWidget {
    Q_OBJECT
public:
    explicit ModuleWindow(Session &session, const PtyLink &link, QWidget *parent = nullptr);

private:
    void refresh();
    void log(const QString &line);

    Session &session_;
    moduleview::LcdView *lcd_;
    moduleview::OutputLamps *lamps_;
    QCheckBox *switches_[3];
    QLabel *status_;
    QListWidget *frames_;
};

} // namespace torvika::vmodule
