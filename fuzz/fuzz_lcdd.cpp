// Random sequences of LCDd calls and flushes through the encoder into the module model.
// Invariants: after every flush the module shows the frame (cells, glyphs, cursor, backlight,
// outputs), no byte is read as a command or control it was not meant to be, and no cell shows
// on the way a glyph of neither the old nor the new frame.
#include "support/lcddcheck.h"

#include <cstdint>
#include <cstdlib>

using torvika::lcdd::Encoder;
using torvika::lcdd::Frame;

namespace {

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    int next() { return at_ < size_ ? data_[at_++] : 0; }
    // Places reach a little past the display on every side.
    int x() { return next() % 20 - 1; }
    int y() { return next() % 5 - 1; }
    int promille() { return (next() << 8 | next()) % 1100 - 50; }

private:
    const std::uint8_t *data_;
    std::size_t size_, at_ = 0;
};

void check(torvika::module::DisplayModel &model, Encoder &encoder, const Frame &frame,
           bool strict) {
    if (!torvika::test::playAndCompare(model, encoder.flush(frame), frame, strict).isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Input in(data, size);
    Frame frame;
    Encoder encoder;
    torvika::module::DisplayModel model;
    bool strict = false;
    while (!in.done()) {
        switch (in.next() % 16) {
        case 0:
            frame.clear();
            break;
        case 1: {
            const int x = in.x(), y = in.y();
            std::string text;
            for (int n = in.next() % 20; n > 0; --n)
                text += char(in.next());
            frame.string(x, y, text);
            break;
        }
        case 2: {
            const int x = in.x(), y = in.y();
            frame.chr(x, y, char(in.next()));
            break;
        }
        case 3:
        case 4: {
            const bool horizontal = in.next() & 1;
            const int x = in.x(), y = in.y(), len = in.next() % 20 - 1, p = in.promille();
            horizontal ? frame.hbar(x, y, len, p, 0) : frame.vbar(x, y, len, p, 0);
            break;
        }
        case 5: {
            const int x = in.x();
            frame.num(x, in.next() % 13 - 1);
            break;
        }
        case 6:
            frame.heartbeat(in.next() % 3);
            break;
        case 7: {
            const int x = in.x(), y = in.y();
            frame.icon(x, y, 0x100 + (in.next() << 8 | in.next()) % 0x120);
            break;
        }
        case 8: {
            const int x = in.x(), y = in.y();
            frame.cursor(x, y, in.next() % 7);
            break;
        }
        case 9: {
            const int n = in.next() % 10 - 1;
            unsigned char rows[8];
            for (unsigned char &r : rows)
                r = static_cast<unsigned char>(in.next());
            frame.setChar(n, rows);
            break;
        }
        case 10:
            frame.backlight(in.next() & 1);
            break;
        case 11: {
            const int state = in.next() & 1;
            frame.setBrightness(state, in.promille());
            break;
        }
        case 12:
            frame.output(in.next());
            break;
        case 13:
            encoder.forget();
            check(model, encoder, frame, false);
            break;
        default:
            check(model, encoder, frame, strict);
            strict = true;
        }
    }
    check(model, encoder, frame, strict);
    return 0;
}
