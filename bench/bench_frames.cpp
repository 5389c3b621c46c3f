// Building each frame of the command set, and the dialog's byte sequences: pure code.
#include "protocol/frames.h"

#include <benchmark/benchmark.h>

using namespace torvika;

namespace {

template <typename Build> void frame(benchmark::State &state, Build build) {
    for (auto _ : state)
        benchmark::DoNotOptimize(build());
}

} // namespace

BENCHMARK_CAPTURE(frame, textChar, [] { return protocol::textChar('A'); });
BENCHMARK_CAPTURE(frame, insertCustomChar, [] { return protocol::insertCustomChar(3); });
BENCHMARK_CAPTURE(frame, lcdControl, [] { return protocol::lcdControl(2); });
BENCHMARK_CAPTURE(frame, backspace, [] { return protocol::backspace(); });
BENCHMARK_CAPTURE(frame, cursorStyle, [] { return protocol::cursorStyle(1); });
BENCHMARK_CAPTURE(frame, backlight, [] { return protocol::backlight(0); });
BENCHMARK_CAPTURE(frame, setBrightness, [] { return protocol::setBrightness(155); });
BENCHMARK_CAPTURE(frame, graph, [] { return protocol::graph(1, 79); });
BENCHMARK_CAPTURE(frame, clearRowOrColumn, [] { return protocol::clearRowOrColumn(1, 15); });
BENCHMARK_CAPTURE(frame, setOutputs,
                  [] { return protocol::setOutputs(protocol::outputMask(true, false, true)); });
BENCHMARK_CAPTURE(frame, setCursorPosition, [] { return protocol::setCursorPosition(1, 15); });
BENCHMARK_CAPTURE(frame, readInputs, [] { return protocol::readInputs(); });
BENCHMARK_CAPTURE(frame, saveSettings, [] { return protocol::saveSettings(); });
BENCHMARK_CAPTURE(frame, customCharWrites, [] {
    protocol::Bitmaps bitmaps{};
    bitmaps[7] = 0x1F;
    return protocol::customCharWrites(bitmaps);
});
BENCHMARK_CAPTURE(frame, setStartupScreen, [] {
    return protocol::setStartupScreen(QStringLiteral("0123456789ABCDEF"),
                                      QStringLiteral("fedcba9876543210"));
});

BENCHMARK_MAIN();
