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
    case Entry::Kind::NoAnswer:
    case Entry::Kind::Sent:
    case Entry::Kind::Received:
    case Entry::Kind::Taken:
        break;
    }
    return text;
}

// A tooltip as rich text, which Qt wraps: a long frame's bytes stay on screen.
QString wrappingTip(const QString &text) {
    return text.isEmpty() ? QString() : QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped());
}

} // namespace

QString gapText(qint64 ns) {
    if (ns < 1'000'000'000)
        return QStringLiteral("+%1 ms").arg(double(ns) / 1e6, 0, 'f', 3);
    if (ns < 1000'000'000'000)
        return QStringLiteral("+%1 s").arg(double(ns) / 1e9, 0, 'f', 3);
    return QStringLiteral("+%1 s").arg(ns / 1'000'000'000);
}

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
    return parent.isValid() ? 0 : static_cast<int>(rows_.size()) + offset();
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
    const Row *r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::ToolTipRole: // the long cells, whole
        if (index.column() == Bytes || index.column() == Meaning)
            return wrappingTip(cellText(index.row(), index.column()));
        return {};
    case Qt::BackgroundRole:
        // Frames sent into the line-speed trap, and bytes a read threw away, stand out.
        if (r && r->trap)
            return QBrush(QColor(255, 205, 205));
        if (r && r->kind == Row::Kind::Discarded)
            return QBrush(QColor(255, 235, 180));
        return {};
    case Qt::ForegroundRole:
        if (r && (r->trap || r->kind == Row::Kind::Discarded))
            return QBrush(Qt::black);
        return {};
    default:
        return {};
    }
}

QString TrafficLogModel::cellText(int r, int column) const {
    const Row *x = row(r);
    if (!x)
        return column == Meaning ? noticeText() : QString();
    switch (column) {
    case Time:
        return QString::number(double(x->timeNs) / 1e9, 'f', 6);
    case SincePrevious: {
        const Row *before = r > 0 ? row(r - 1) : nullptr;
        return before ? gapText(x->timeNs - before->timeNs) : QString();
    }
    case Direction:
        switch (x->kind) {
        case Row::Kind::Frame:
            return QStringLiteral("out");
        case Row::Kind::Arrived:
        case Row::Kind::Answer:
        case Row::Kind::Discarded:
            return QStringLiteral("in");
        case Row::Kind::Event:
            break;
        }
        return x->event == Entry::Kind::NoAnswer ? QStringLiteral("in") : QStringLiteral("port");
    case Source:
        return sourceName(x->source);
    case Bytes:
        return protocol::hexText(x->bytes);
    case Meaning:
        return meaning(*x);
    default:
        return {};
    }
}

QString TrafficLogModel::noticeText() const {
    return QStringLiteral("%1 older %2 dropped; the log keeps the latest %3 rows")
        .arg(dropped())
        .arg(dropped() == 1 ? QStringLiteral("entry was") : QStringLiteral("entries were"))
        .arg(MaxRows);
}

QString TrafficLogModel::meaning(const Row &x) const {
    QString text;
    switch (x.kind) {
    case Row::Kind::Frame:
        if (x.pending)
            text = QStringLiteral("start of a frame, waiting for the rest");
        else
            text = protocol::DecodedFrame{x.frame, x.bytes}.meaning();
        if (!x.text.isEmpty())
            text += QStringLiteral(" [%1]").arg(x.text);
        break;
    case Row::Kind::Arrived:
        text = QStringLiteral("came in, waiting for a read");
        break;
    case Row::Kind::Answer:
        text = QStringLiteral("taken as the answer: ") +
               protocol::inputsMeaning(static_cast<std::uint8_t>(x.bytes.at(0)));
        break;
    case Row::Kind::Discarded:
        text = QStringLiteral("thrown away: a read takes only the first byte");
        break;
    case Row::Kind::Event:
        text = eventText(x.event, x.text);
        break;
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
    const Row *x = row(r);
    return x ? x->bytes : QByteArray();
}

QString TrafficLogModel::copyRows(const QList<int> &rows, CopyFormat format) const {
    QList<QByteArray> frames;
    QStringList lines;
    for (const int r : rows) {
        if (r < 0 || r >= rowCount())
            continue;
        if (format == CopyFormat::Text)
            lines << rowText(r);
        else if (!rowBytes(r).isEmpty())
            frames << rowBytes(r);
    }
    return format == CopyFormat::Text ? lines.join(u'\n') : formatFrames(frames, format);
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
    // What came in meanwhile, even while paused, goes too; the decoder still sees it, so a
    // frame cut by the Clear is read whole.
    takeAll();
    removed_ += rows_.size() + incoming_.size();
    incoming_.clear();
    rows_.clear();
    provisional_.reset();
    firstTouched_ = lastTouched_ = -1;
    clearedAt_ = firstShown_ = next_;
    noticeShown_ = false;
    endResetModel();
}

void TrafficLogModel::takeAll() {
    mirror_.catchUp(); // the trap marks come from the mirror
    const quint64 end = recorder_.end();
    if (next_ < recorder_.firstKept()) {
        next_ = recorder_.firstKept();
        firstShown_ = qMax(firstShown_, next_);
    }
    for (; next_ != end; ++next_)
        take(next_, recorder_.at(next_));
}

void TrafficLogModel::catchUp() {
    scheduled_ = false;
    if (paused_)
        return;
    const quint64 droppedBefore = dropped();
    takeAll();

    if (firstTouched_ >= 0) {
        emit dataChanged(index(firstTouched_ + offset(), 0),
                         index(lastTouched_ + offset(), ColumnCount - 1));
        firstTouched_ = lastTouched_ = -1;
    }
    if (!incoming_.empty()) {
        const int first = static_cast<int>(rows_.size()) + offset();
        beginInsertRows({}, first, first + static_cast<int>(incoming_.size()) - 1);
        std::move(incoming_.begin(), incoming_.end(), std::back_inserter(rows_));
        incoming_.clear();
        endInsertRows();
    }
    if (rows_.size() > std::size_t(MaxRows)) {
        const int excess = static_cast<int>(rows_.size()) - MaxRows;
        beginRemoveRows({}, offset(), offset() + excess - 1);
        rows_.erase(rows_.begin(), rows_.begin() + excess);
        removed_ += static_cast<quint64>(excess);
        firstShown_ = rows_.front().serial;
        if (provisional_ && *provisional_ < removed_)
            provisional_.reset();
        endRemoveRows();
    }
    if (noticeShown_) {
        if (dropped() != droppedBefore)
            emit dataChanged(index(0, 0), index(0, ColumnCount - 1));
    } else if (dropped() > 0) {
        // The notice arrives above rows already shown.
        beginInsertRows({}, 0, 0);
        noticeShown_ = true;
        endInsertRows();
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
    case Entry::Kind::Taken:
        takeIn(serial, entry);
        return;
    default:
        break;
    }
    Row event;
    event.serial = serial;
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
        const QString problem = problemOf(frame);
        if (provisional_) {
            // The frame that was waiting for its remaining bytes is whole now.
            const quint64 id = *std::exchange(provisional_, std::nullopt);
            if (Row *waiting = rowById(id)) {
                waiting->frame = frame.kind;
                waiting->bytes = frame.bytes;
                waiting->pending = false;
                waiting->trap = waiting->trap || trap;
                waiting->text = problem;
                touched(id);
                continue;
            }
        }
        addSentFrame(frame, serial, entry, trap).text = problem;
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
    start.serial = serial;
    start.source = entry.source;
    start.timeNs = start.lastNs = entry.timeNs;
    start.pending = true;
    start.trap = trap;
    start.bytes = pending;
    provisional_ = nextId();
    append(std::move(start));
}

TrafficLogModel::Row &TrafficLogModel::addSentFrame(const protocol::DecodedFrame &frame,
                                                    quint64 serial, const TrafficEntry &entry,
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
        return *previous;
    }
    Row r;
    r.frame = frame.kind;
    r.serial = serial;
    r.source = entry.source;
    r.timeNs = r.lastNs = entry.timeNs;
    r.trap = trap;
    r.bytes = frame.bytes;
    return append(std::move(r));
}

QString TrafficLogModel::problemOf(const protocol::DecodedFrame &frame) {
    // Unknown frames say what is wrong with them already.
    if (frame.kind == protocol::DecodedFrame::Kind::Unknown)
        return {};
    return checker_.apply(frame).problem;
}

void TrafficLogModel::takeIn(quint64 serial, const TrafficEntry &entry) {
    const auto row = [&](Row::Kind kind, QByteArray bytes) {
        Row r;
        r.kind = kind;
        r.serial = serial;
        r.source = entry.source;
        r.timeNs = entry.timeNs;
        r.bytes = std::move(bytes);
        append(std::move(r));
    };
    if (entry.kind == Entry::Kind::Received) {
        row(Row::Kind::Arrived, entry.bytes);
        return;
    }
    if (entry.bytes.isEmpty())
        return;
    // What the read took: its answer is the first byte, whatever was meant to be.
    row(Row::Kind::Answer, entry.bytes.first(1));
    if (entry.bytes.size() > 1)
        row(Row::Kind::Discarded, entry.bytes.sliced(1));
}

} // namespace torvika::trafficlog
