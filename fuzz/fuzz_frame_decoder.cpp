// The module's frame decoder on arbitrary bytes in arbitrary chunks.
// Invariants: every byte ends up in exactly one frame or in what is pending, pending never
// outgrows the longest frame, the same bytes give the same frames however they are cut, and
// every frame the model is given leaves it in a valid state.
#include "module/displaymodel.h"
#include "protocol/framedecoder.h"

#include <cstdint>
#include <cstdlib>

using torvika::module::Columns;
using torvika::module::DisplayModel;
using torvika::module::Rows;
using torvika::protocol::FrameDecoder;
using Frame = torvika::protocol::DecodedFrame;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte sets the chunk size, the rest is the line.
    const std::size_t chunk = 1 + data[0] % 17;
    const QByteArray line(reinterpret_cast<const char *>(data + 1),
                          static_cast<qsizetype>(size - 1));

    FrameDecoder whole;
    const QList<Frame> expected = whole.feed(line);

    FrameDecoder cut;
    QList<Frame> frames;
    for (qsizetype at = 0; at < line.size(); at += static_cast<qsizetype>(chunk)) {
        frames +=
            cut.feed(QByteArrayView(line).sliced(at, qMin<qsizetype>(chunk, line.size() - at)));
        check(cut.pending().size() <= 2 + 64);
    }
    check(frames == expected);
    check(cut.pending() == whole.pending());

    QByteArray seen;
    DisplayModel model;
    for (const Frame &f : frames) {
        check(!f.bytes.isEmpty());
        check(!f.describe().isEmpty());
        seen += f.bytes;
        model.apply(f);
        check(model.cursorRow() >= 0 && model.cursorRow() < Rows);
        check(model.cursorColumn() >= 0 && model.cursorColumn() < Columns);
        check(model.outputs() <= 7);
        check(model.brightness() >= 50 && model.brightness() <= 250);
    }
    check(seen + cut.pending() == line);
    if (const auto rest = cut.flush())
        check(rest->kind == Frame::Kind::Unknown);
    return 0;
}
