#pragma once

#include "link/trafficrecorder.h"
#include "module/displaymodel.h"
#include "protocol/framedecoder.h"
#include "trafficlog/copyformats.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace torvika::trafficlog {

class DisplayMirror;

// "+12.345 ms", "+12.345 s": a gap as the column shows it.
QString gapText(qint64 ns);

// The decoded log: one row per frame the panel sent (the module's decoder groups the bytes;
// text typed one character after another shares a row), per bytes that came in, per read's
// answer, discarded bytes or missing answer, and per port event; with its time, the time
// since the row before, direction, source, bytes in hex and meaning. Follows the recorder,
// keeping at most MaxRows rows; once older ones are gone, a first row above them says how many
// entries were dropped.
class TrafficLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, SincePrevious, Direction, Source, Bytes, Meaning, ColumnCount };
    static constexpr int MaxRows = TrafficRecorder::Capacity;
    // Typed characters closer together than this share a row.
    static constexpr qint64 TextRunGapNs = 1'000'000'000;

    // Starts with what the recorder still keeps.
    TrafficLogModel(TrafficRecorder &recorder, DisplayMirror &mirror, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes in what has been recorded since the last call (nothing while paused).
    void catchUp();
    // Paused, the log takes nothing in; resumed, it takes in everything recorded meanwhile.
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // Empties the log, also of what was recorded while paused; what is recorded from now on
    // comes in as before.
    void clear();
    // Entries recorded since start or the last Clear that the log no longer shows.
    quint64 dropped() const { return firstShown_ - clearedAt_; }

    QString cellText(int row, int column) const;
    // The row's cells separated by tabs.
    QString rowText(int row) const;
    QByteArray rowBytes(int row) const;
    // The bytes of the given rows (rows without bytes left out), one frame a line; as Text, the
    // rows' cells whole, tab-separated.
    QString copyRows(const QList<int> &rows, CopyFormat format) const;
    // Writes the log as text, one row a line; returns why not, or "".
    QString save(const QString &fileName) const;

private:
    struct Row {
        enum class Kind : std::uint8_t { Frame, Arrived, Answer, Discarded, Event };
        Kind kind = Kind::Frame;
        protocol::DecodedFrame::Kind frame = protocol::DecodedFrame::Kind::Unknown;
        TrafficEntry::Kind event = TrafficEntry::Kind::Sent;
        TrafficSource source = TrafficSource::Port;
        bool pending = false; // a frame still waiting for its remaining bytes
        bool trap = false;    // sent while the module listened at another speed
        quint64 serial = 0;   // of the first entry the row shows
        qint64 timeNs = 0, lastNs = 0;
        QByteArray bytes;
        QString text; // an event's; a frame's problem: why the module cannot carry it out
    };

    // Turns every entry not yet seen into rows of incoming_.
    void takeAll();
    void take(quint64 serial, const TrafficEntry &entry);
    void takeSent(quint64 serial, const TrafficEntry &entry);
    void takeIn(quint64 serial, const TrafficEntry &entry);
    Row &addSentFrame(const protocol::DecodedFrame &frame, quint64 serial,
                      const TrafficEntry &entry, bool trap);
    QString problemOf(const protocol::DecodedFrame &frame);
    // The first model row is the notice of what was dropped, once there is one.
    int offset() const { return noticeShown_ ? 1 : 0; }
    QString noticeText() const;
    Row &append(Row row);
    quint64 nextId() const;
    Row *rowById(quint64 id);
    void touched(quint64 id);
    // The row behind a model row; nullptr for the notice.
    const Row *row(int r) const {
        r -= offset();
        return r >= 0 ? &rows_[static_cast<std::size_t>(r)] : nullptr;
    }
    QString meaning(const Row &row) const;

    TrafficRecorder &recorder_;
    DisplayMirror &mirror_;
    quint64 next_ = 0;
    bool scheduled_ = false;
    bool paused_ = false;
    protocol::FrameDecoder decoder_;
    module::DisplayModel checker_;           // tells which frames the module cannot carry out
    quint64 clearedAt_ = 0, firstShown_ = 0; // serials
    bool noticeShown_ = false;
    std::deque<Row> rows_;
    std::vector<Row> incoming_; // rows of the current pass, not yet in the model
    quint64 removed_ = 0;       // rows ever removed from the front: row ids are removed_ + row
    std::optional<quint64> provisional_; // id of the row of a frame still pending
    int firstTouched_ = -1, lastTouched_ = -1;
};

} // namespace torvika::trafficlog
