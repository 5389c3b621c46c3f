#pragma once

#include "link/trafficrecorder.h"
#include "module/displaymodel.h"
#include "protocol/framedecoder.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace torvika::trafficlog {

// What the display should show: the module's model fed with every frame the panel has sent
// since it started, and the line-speed trap (the module told one speed, the port set to
// another). Follows the recorder from start, a little after each entry, so a click never
// waits for it.
class DisplayMirror : public QObject {
    Q_OBJECT
public:
    explicit DisplayMirror(TrafficRecorder &recorder, QObject *parent = nullptr);

    // Takes in every entry recorded so far.
    void catchUp();

    const module::DisplayModel &model() const { return model_; }
    // The one-line warning while the speeds differ, else "".
    QString trapText() const;
    // Whether the entry with this serial number was recorded while the speeds differed.
    bool trapAt(quint64 serial) const;

signals:
    void changed();

private:
    void take(quint64 serial, const TrafficEntry &entry);
    void updateTrap(quint64 serial);

    TrafficRecorder &recorder_;
    quint64 next_ = 0;
    bool scheduled_ = false;
    protocol::FrameDecoder decoder_;
    module::DisplayModel model_;
    std::optional<int> toldSpeed_;
    int portSpeed_ = 0;
    // Serial ranges [from, to) of the trap; the last one may still be open (to = max).
    struct Span {
        quint64 from, to;
    };
    std::vector<Span> traps_;
};

} // namespace torvika::trafficlog
