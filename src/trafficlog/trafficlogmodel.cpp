#include "trafficlog/trafficlogmodel.h"

#include "protocol/frames.h"
#include "protocol/hex.h"
#include "trafficlog/displaymirror.h"

#include <QBrush>
#include <QColor>
#include <QSaveFile>

namespace torvika::trafficlog {

namespace {

using Entry = TrafficEntry;

QString eventText(Entry::Kind kind, const QString &text) {
    const auto with = [&](const QString &what) {
        return text.isEmpty() ? what : what + QStringLiteral(": ") + text;
    };
    switch (kind) {
    case Entry::Kind::PortNumber:
        return QStringLiteral("port number ") + text;
    case Entry::Kind::LineSettings:
        return QStringLiteral("line settings ") + text;
    case Entry::Kind::Opened:
        return QStringLiteral("opened ") + text;
    case Entry::Kind::OpenFailed:
        return QStringLiteral("could not open ") + text;
    case Entry::Kind::Closed:
        return with(QStringLiteral("closed"));
    case Entry::Kind::WriteFailed:
        return with(QStringLiteral("write failed, not sent"));
    case Entry::Kind::Lost:
        return with(QStringLiteral("the device went away"));
    case Entry::Kind::Sent:
    case Entry::Kind::Received:
        break;
    }
    return text;
}

} // namespace

TrafficLogModel::TrafficLogModel(TrafficRecorder &recorder, DisplayMirror &mirror, QObject *parent)
    : QAbstractTableModel(parent), recorder_(recorder), mirror_(mirror) {
    catchUp(); // from the first entry ever recorded: a first row tells what was dropped
    connect(&recorder_, &TrafficRecorder::recorded, this, [this] {
        if (paused_ || std::exchange(scheduled_, true))
            return;
        QMetaObject::invokeMethod(this, &TrafficLogModel::catchUp, Qt::QueuedConnection);
    });
}

int TrafficLogModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TrafficLogModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char *const names[ColumnCount] = {"Time (s)", "Since previous", "Direction",
                                                   "Source",   "Bytes",          "Meaning"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

QVariant TrafficLogModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::ToolTipRole: // the long cells, whole
        if (index.column() == Bytes || index.column() == Meaning)
            return cellText(index.row(), index.column());
        return {};
    case Qt::BackgroundRole:
        // Frames sent into the line-speed trap, and bytes nobody asked for, stand out.
        if (r.trap)
            return QBrush(QColor(255, 205, 205));
        if (r.kind == Row::Kind::Unrequested)
            return QBrush(QColor(255, 235, 180));
        return {};
    case Qt::ForegroundRole:
        if (r.trap || r.kind == Row::Kind::Unrequested)
            return QBrush(Qt::black);
        return {};
    default:
        return {};
    }
}

QString TrafficLogModel::cellText(int r, int column) const {
    const Row &x = row(r);
    switch (column) {
    case Time:
        return x.kind == Row::Kind::Dropped ? QString()
                                            : QString::number(double(x.timeNs) / 1e9, 'f', 6);
    case SincePrevious:
        if (r == 0 || x.kind == Row::Kind::Dropped || row(r - 1).kind == Row::Kind::Dropped)
            return {};
        return QStringLiteral("+%1 ms").arg(double(x.timeNs - row(r - 1).timeNs) / 1e6, 0, 'f', 3);
    case Direction:
        switch (x.kind) {
        case Row::Kind::Frame:
            return QStringLiteral("out");
        case Row::Kind::Reply:
        case Row::Kind::Unrequested:
            return QStringLiteral("in");
        case Row::Kind::Event:
            return QStringLiteral("port");
        case Row::Kind::Dropped:
            break;
        }
        return {};
    case Source:
        return x.kind == Row::Kind::Dropped ? QString() : sourceName(x.source);
    case Bytes:
        return protocol::hexText(x.bytes);
    case Meaning:
        return meaning(x);
    default:
        return {};
    }
}

QString TrafficLogModel::meaning(const Row &x) const {
    QString text;
    switch (x.kind) {
    case Row::Kind::Frame:
        if (x.pending)
            text = QStringLiteral("start of a frame, waiting for the rest");
        else
            text = protocol::DecodedFrame{x.frame, x.bytes}.meaning();
        break;
    case Row::Kind::Reply:
        text = protocol::inputsMeaning(static_cast<std::uint8_t>(x.bytes.at(0)));
        break;
    case Row::Kind::Unrequested:
        text = QStringLiteral("not asked for by any query");
        break;
    case Row::Kind::Event:
        text = eventText(x.event, x.text);
        break;
    case Row::Kind::Dropped:
        return x.text;
    }
    if (x.trap)
        text += QStringLiteral(" [sent while the module listens at another speed]");
    return text;
}

QString TrafficLogModel::rowText(int r) const {
    QStringList cells;
    for (int c = 0; c < ColumnCount; ++c)
        cells << cellText(r, c);
    return cells.join(u'\t');
}

QByteArray TrafficLogModel::rowBytes(int r) const {
    return row(r).bytes;
}

QString TrafficLogModel::copyRows(const QList<int> &rows, CopyFormat format) const {
    QList<QByteArray> frames;
    for (const int r : rows)
        if (r >= 0 && r < rowCount() && !row(r).bytes.isEmpty())
            frames << row(r).bytes;
    return formatFrames(frames, format);
}

QString TrafficLogModel::save(const QString &fileName) const {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return file.errorString();
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c)
        header << headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    file.write((header.join(u'\t') + u'\n').toUtf8());
    for (int r = 0; r < rowCount(); ++r)
        file.write((rowText(r) + u'\n').toUtf8());
    if (!file.commit())
        return file.errorString();
    return {};
}

void TrafficLogModel::setPaused(bool paused) {
    paused_ = paused;
    if (!paused_)
        catchUp();
}

void TrafficLogModel::clear() {
    beginResetModel();
    removed_ += rows_.size();
    rows_.clear();
    provisional_.reset();
    endResetModel();
}

void TrafficLogModel::catchUp() {
    scheduled_ = false;
    if (paused_)
        return;
    mirror_.catchUp(); // the trap marks come from the mirror
    const quint64 end = recorder_.end();
    if (next_ < recorder_.firstKept()) {
        Row dropped;
        dropped.kind = Row::Kind::Dropped;
        dropped.text =
            QStringLiteral("%1 older entries were dropped; the record keeps the latest %2")
                .arg(recorder_.firstKept() - next_)
                .arg(TrafficRecorder::Capacity);
        append(std::move(dropped));
        next_ = recorder_.firstKept();
    }
    for (; next_ != end; ++next_)
        take(next_, recorder_.at(next_));

    if (firstTouched_ >= 0) {
        emit dataChanged(index(firstTouched_, 0), index(lastTouched_, ColumnCount - 1));
        firstTouched_ = lastTouched_ = -1;
    }
    if (!incoming_.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(incoming_.size()) - 1);
        std::move(incoming_.begin(), incoming_.end(), std::back_inserter(rows_));
        incoming_.clear();
        endInsertRows();
    }
    if (rows_.size() > std::size_t(MaxRows)) {
        const int excess = static_cast<int>(rows_.size()) - MaxRows;
        beginRemoveRows({}, 0, excess - 1);
        rows_.erase(rows_.begin(), rows_.begin() + excess);
        removed_ += static_cast<quint64>(excess);
        if (provisional_ && *provisional_ < removed_)
            provisional_.reset();
        endRemoveRows();
    }
}

TrafficLogModel::Row &TrafficLogModel::append(Row row) {
    incoming_.push_back(std::move(row));
    return incoming_.back();
}

quint64 TrafficLogModel::nextId() const {
    return removed_ + rows_.size() + incoming_.size();
}

TrafficLogModel::Row *TrafficLogModel::rowById(quint64 id) {
    if (id < removed_)
        return nullptr;
    const quint64 r = id - removed_;
    if (r < rows_.size())
        return &rows_[static_cast<std::size_t>(r)];
    const quint64 i = r - rows_.size();
    return i < incoming_.size() ? &incoming_[static_cast<std::size_t>(i)] : nullptr;
}

void TrafficLogModel::touched(quint64 id) {
    // Only rows already in the model need telling; new ones come in with the insert.
    if (id < removed_ || id - removed_ >= rows_.size())
        return;
    const int r = static_cast<int>(id - removed_);
    firstTouched_ = firstTouched_ < 0 ? r : qMin(firstTouched_, r);
    lastTouched_ = qMax(lastTouched_, r);
}

void TrafficLogModel::take(quint64 serial, const TrafficEntry &entry) {
    switch (entry.kind) {
    case Entry::Kind::Sent:
        takeSent(serial, entry);
        return;
    case Entry::Kind::Received:
        takeReceived(entry);
        return;
    case Entry::Kind::Closed:
    case Entry::Kind::Lost:
        queries_ = 0; // a reply to a read before the close can no longer come
        break;
    default:
        break;
    }
    Row event;
    event.kind = Row::Kind::Event;
    event.event = entry.kind;
    event.source = entry.source;
    event.timeNs = entry.timeNs;
    event.bytes = entry.kind == Entry::Kind::WriteFailed ? entry.bytes : QByteArray();
    event.text = entry.text;
    append(std::move(event));
}

void TrafficLogModel::takeSent(quint64 serial, const TrafficEntry &entry) {
    const bool trap = mirror_.trapAt(serial);
    const QList<protocol::DecodedFrame> frames = decoder_.feed(entry.bytes);
    for (const protocol::DecodedFrame &frame : frames) {
        if (frame.kind == protocol::DecodedFrame::Kind::Command &&
            frame.command() == protocol::byteOf(protocol::Command::ReadInputs))
            ++queries_;
        if (provisional_) {
            // The frame that was waiting for its remaining bytes is whole now.
            const quint64 id = *std::exchange(provisional_, std::nullopt);
            if (Row *waiting = rowById(id)) {
                waiting->frame = frame.kind;
                waiting->bytes = frame.bytes;
                waiting->pending = false;
                waiting->trap = waiting->trap || trap;
                touched(id);
                continue;
            }
        }
        addSentFrame(frame, entry, trap);
    }
    const QByteArray &pending = decoder_.pending();
    if (pending.isEmpty())
        return;
    if (Row *waiting = provisional_ ? rowById(*provisional_) : nullptr) {
        waiting->bytes = pending;
        touched(*provisional_);
        return;
    }
    Row start;
    start.source = entry.source;
    start.timeNs = start.lastNs = entry.timeNs;
    start.pending = true;
    start.trap = trap;
    start.bytes = pending;
    provisional_ = nextId();
    append(std::move(start));
}

void TrafficLogModel::addSentFrame(const protocol::DecodedFrame &frame, const TrafficEntry &entry,
                                   bool trap) {
    using FrameKind = protocol::DecodedFrame::Kind;
    const quint64 previousId = nextId() - 1;
    Row *previous = nextId() > 0 ? rowById(previousId) : nullptr;
    if (frame.kind == FrameKind::Text && previous && previous->kind == Row::Kind::Frame &&
        previous->frame == FrameKind::Text && !previous->pending &&
        previous->source == entry.source && previous->trap == trap &&
        entry.timeNs - previous->lastNs < TextRunGapNs) {
        previous->bytes += frame.bytes;
        previous->lastNs = entry.timeNs;
        touched(previousId);
        return;
    }
    Row r;
    r.frame = frame.kind;
    r.source = entry.source;
    r.timeNs = r.lastNs = entry.timeNs;
    r.trap = trap;
    r.bytes = frame.bytes;
    append(std::move(r));
}

void TrafficLogModel::takeReceived(const TrafficEntry &entry) {
    qsizetype i = 0;
    // Each read asks for one byte; what comes beyond that nobody asked for.
    for (; queries_ > 0 && i < entry.bytes.size(); ++i, --queries_) {
        Row reply;
        reply.kind = Row::Kind::Reply;
        reply.source = entry.source;
        reply.timeNs = entry.timeNs;
        reply.bytes = entry.bytes.sliced(i, 1);
        append(std::move(reply));
    }
    if (i == entry.bytes.size())
        return;
    Row rest;
    rest.kind = Row::Kind::Unrequested;
    rest.source = entry.source;
    rest.timeNs = entry.timeNs;
    rest.bytes = entry.bytes.sliced(i);
    append(std::move(rest));
}

} // namespace torvika::trafficlog
