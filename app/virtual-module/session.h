#pragma once

#include "module/displaymodel.h"
#include "protocol/framedecoder.h"
#include "ptylink.h"

#include <QObject>

namespace torvika::vmodule {

using module::DisplayModel;
using module::Memory;
using protocol::DecodedFrame;
using protocol::FrameDecoder;

// One running module: the link's bytes through the decoder into the model, replies back on
// the link, its memory kept in the state file.
class Session : public QObject {
    Q_OBJECT
public:
    Session(PtyLink &link, QString stateFile, QObject *parent = nullptr);

    const DisplayModel &model() const { return model_; }
    void setInputs(std::uint8_t inputs);
    // The panel's line speed differs from the module's: bytes are garbage to the module.
    bool speedMismatch() const;
    int lineSpeed() const { return link_.lineSpeed(); }
    QString stateFile() const { return stateFile_; }
    // Why the state file could not be read or written; "" when all is well.
    QString memoryProblem() const { return memoryProblem_; }

signals:
    void frameDecoded(const torvika::protocol::DecodedFrame &frame, const QString &problem);
    void replied(const QByteArray &bytes);
    void ignored(const QByteArray &bytes, const QString &reason);
    void stateChanged();

private:
    void onReceived(const QByteArray &bytes, const QList<int> &lineSpeeds);
    void storeMemory();

    PtyLink &link_;
    QString stateFile_;
    QString memoryProblem_;
    FrameDecoder decoder_;
    DisplayModel model_;
};

// $XDG_STATE_HOME/torvika/module.json, by default under ~/.local/state.
QString defaultStateFile();

} // namespace torvika::vmodule
