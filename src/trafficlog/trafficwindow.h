#pragma once

#include "link/trafficrecorder.h"
#include "platform/messageboxes.h"
#include "trafficlog/copyformats.h"
#include "trafficlog/displaymirror.h"
#include "trafficlog/trafficlogmodel.h"

#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace torvika::moduleview {
class OutputLamps;
}

namespace torvika::trafficlog {

// Normal text's least contrast with its background.
inline constexpr float MinContrast = 4.5f;
// The line-speed warning's red, at least MinContrast against the background.
QColor readableWarningColour(const QColor &background);

// The traffic window "Traffic Log": the display mirror at the top, the line-speed warning,
// and the decoded log with Pause, Clear, Copy and Save. Modeless, one for the whole run.
class TrafficWindow : public QWidget {
    Q_OBJECT
public:
    TrafficWindow(TrafficRecorder &recorder, DisplayMirror &mirror, MessageBoxes &boxes,
                  QWidget *parent = nullptr);
    ~TrafficWindow() override;

    // Shows the window, or brings it forward when it is open.
    void showWindow();

    TrafficLogModel &model() { return model_; }
    QTableView *table() const { return table_; }
    // The selected rows as the format gives them, also put on the clipboard.
    QString copySelection(CopyFormat format);
    // Saves the log to the file; a failure is told in a message box. Returns success.
    bool saveTo(const QString &fileName);

protected:
    void changeEvent(QEvent *event) override;

private:
    void mirrorChanged();
    void showWarningColour();
    void save();

    DisplayMirror &mirror_;
    MessageBoxes &boxes_;
    TrafficLogModel model_;
    QWidget *lcd_ = nullptr;
    moduleview::OutputLamps *lamps_ = nullptr;
    QLabel *trap_ = nullptr;
    QTableView *table_ = nullptr;
    QPushButton *pause_ = nullptr;
    bool following_ = true;
};

} // namespace torvika::trafficlog
