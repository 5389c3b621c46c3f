// The LCDd encoder on a recorded LCDd session (bench/data/*.calls, written by the recorder
// driver): the time of each flush, and the bytes sent beside those of a plain encoder that
// writes every changed run after one cursor move and uploads its glyphs in the order it meets
// them. Every flush of both is played into the module model, which must show the frame (the
// plain encoder may show a redefined glyph on the way).
// Prints one JSON object: bench_lcdd [RECORDING] [PASSES].
#include "support/lcddcheck.h"

#include "protocol/frames.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdio>
#include <vector>

using namespace torvika;
using lcdd::Frame;

namespace {

std::vector<Frame> replay(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    std::vector<Frame> frames;
    Frame f;
    while (!file.atEnd()) {
        const QList<QByteArray> w = file.readLine().trimmed().split(' ');
        const auto n = [&](int i) { return w.value(i).toInt(); };
        const QByteArray &call = w[0];
        if (call == "flush")
            frames.push_back(f);
        else if (call == "clear")
            f.clear();
        else if (call == "string")
            f.string(n(1), n(2), QByteArray::fromHex(w.value(3)).toStdString());
        else if (call == "chr")
            f.chr(n(1), n(2), char(n(3)));
        else if (call == "hbar")
            f.hbar(n(1), n(2), n(3), n(4), n(5));
        else if (call == "vbar")
            f.vbar(n(1), n(2), n(3), n(4), n(5));
        else if (call == "num")
            f.num(n(1), n(2));
        else if (call == "heartbeat")
            f.heartbeat(n(1));
        else if (call == "icon")
            f.icon(n(1), n(2), n(3));
        else if (call == "cursor")
            f.cursor(n(1), n(2), n(3));
        else if (call == "set_char")
            f.setChar(n(1), reinterpret_cast<const unsigned char *>(
                                QByteArray::fromHex(w.value(2)).leftJustified(8, 0).constData()));
        else if (call == "backlight")
            f.backlight(n(1));
        else if (call == "set_brightness")
            f.setBrightness(n(1), n(2));
        else if (call == "output")
            f.output(n(1));
    }
    return frames;
}

void add(QByteArray &out, const std::optional<protocol::Frame> &f) {
    out += f->toByteArray();
}

// The plain encoder the figures are judged against.
class RunEncoder {
public:
    QByteArray flush(const Frame &f) {
        QByteArray out;
        const int level = f.moduleLevel();
        if ((level > 0) != backlight_ || first_)
            add(out, protocol::backlight(level > 0 ? 0 : 1));
        if (level > 0 && (level != level_ || first_))
            add(out, protocol::setBrightness(level)), level_ = level;
        backlight_ = level > 0;
        if (f.outputs() != outputs_ || first_)
            add(out, protocol::setOutputs(f.outputs()));
        outputs_ = f.outputs();
        const int style = f.cursorType() == lcdd::CursorType::Off     ? 2
                          : f.cursorType() == lcdd::CursorType::Block ? 1
                                                                      : 0;
        if (style != style_ || first_)
            add(out, protocol::cursorStyle(style));
        style_ = style;

        // Slots in the order the glyphs are met; the rest get their stand-ins.
        std::vector<lcdd::Glyph> order;
        int want[lcdd::Height][lcdd::Width];
        for (int r = 0; r < lcdd::Height; ++r)
            for (int c = 0; c < lcdd::Width; ++c) {
                const Frame::Cell &cell = f.cell(r, c);
                want[r][c] = cell.code;
                if (cell.rank == Frame::Rank::Plain)
                    continue;
                auto s = std::find(order.begin(), order.end(), cell.glyph);
                if (s == order.end() && order.size() < 8)
                    s = order.insert(s, cell.glyph);
                if (s != order.end())
                    want[r][c] = int(s - order.begin());
            }
        order.resize(8);
        std::array<lcdd::Glyph, 8> next;
        std::copy(order.begin(), order.end(), next.begin());
        const bool upload = first_ || next != slots_;
        if (upload) {
            protocol::Bitmaps b{};
            for (int s = 0; s < 8; ++s)
                std::copy(next[s].begin(), next[s].end(), b.begin() + 8 * s);
            out += protocol::customCharBitmaps(b);
        }
        int row = -1, column = -1;
        for (int r = 0; r < lcdd::Height; ++r)
            for (int c = 0; c < lcdd::Width; ++c) {
                const int w = want[r][c];
                if (!first_ && shown_[r][c] == w && (w >= 8 || next[w] == slots_[w]))
                    continue;
                if (row != r || column != c)
                    add(out, protocol::setCursorPosition(r, c));
                out += char(w);
                shown_[r][c] = w;
                row = r, column = c + 1;
            }
        if (f.cursorType() != lcdd::CursorType::Off &&
            (first_ || row != f.cursorRow() || column != f.cursorColumn()))
            add(out, protocol::setCursorPosition(f.cursorRow(), f.cursorColumn()));
        slots_ = next;
        first_ = false;
        return out;
    }

private:
    bool first_ = true, backlight_ = false;
    int level_ = -1, outputs_ = -1, style_ = -1;
    int shown_[lcdd::Height][lcdd::Width]{};
    std::array<lcdd::Glyph, 8> slots_{};
};

template <typename Encode>
qint64 checkedBytes(const std::vector<Frame> &frames, bool strict, Encode encode) {
    module::DisplayModel model;
    qint64 bytes = 0;
    bool first = true;
    for (const Frame &f : frames) {
        const QByteArray sent = encode(f);
        bytes += sent.size();
        const QString problem = test::playAndCompare(model, sent, f, strict && !first);
        if (!problem.isEmpty())
            qFatal("the module differs from the frame: %s", qPrintable(problem));
        first = false;
    }
    return bytes;
}

} // namespace

int main(int argc, char *argv[]) {
    const QString path = argc > 1 && *argv[1]
                             ? QString::fromLocal8Bit(argv[1])
                             : QStringLiteral(TORVIKA_SOURCE_DIR "/bench/data/lcdproc-CMUP.calls");
    const int passes = argc > 2 ? atoi(argv[2]) : 200;
    const std::vector<Frame> frames = replay(path);

    lcdd::Encoder encoder;
    RunEncoder reference;
    const qint64 bytes =
        checkedBytes(frames, true, [&](const Frame &f) { return encoder.flush(f); });
    const qint64 referenceBytes =
        checkedBytes(frames, false, [&](const Frame &f) { return reference.flush(f); });

    QJsonArray flushUs, sendingUs; // every flush; those that sent something
    qint64 sink = 0;
    for (int p = 0; p < passes; ++p) {
        encoder.forget();
        for (const Frame &f : frames) {
            const auto start = std::chrono::steady_clock::now();
            const qsizetype sent = encoder.flush(f).size();
            const auto end = std::chrono::steady_clock::now();
            const double us = std::chrono::duration<double, std::micro>(end - start).count();
            flushUs.append(us);
            if (sent > 0)
                sendingUs.append(us);
            sink += sent;
        }
    }
    const QJsonObject out{
        {QStringLiteral("frames"), qint64(frames.size())},   {QStringLiteral("bytes"), bytes},
        {QStringLiteral("reference_bytes"), referenceBytes}, {QStringLiteral("flush_us"), flushUs},
        {QStringLiteral("sending_flush_us"), sendingUs},     {QStringLiteral("sink"), sink}};
    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
