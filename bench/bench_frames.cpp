// Building each frame of the command set, and the dialog's byte sequences: pure code.
#include "link/dialogframes.h"
#include "link/frames.h"

#include <benchmark/benchmark.h>

using namespace torvika;

namespace {

template <typename Build> void frame(benchmark::State &state, Build build) {
    for (auto _ : state)
        benchmark::DoNotOptimize(build());
}

} // namespace

BENCHMARK_CAPTURE(frame, textChar, [] { return frames::textChar('A'); });
BENCHMARK_CAPTURE(frame, insertCustomChar, [] { return frames::insertCustomChar(3); });
BENCHMARK_CAPTURE(frame, lcdControl, [] { return frames::lcdControl(2); });
BENCHMARK_CAPTURE(frame, backspace, [] { return frames::backspace(); });
BENCHMARK_CAPTURE(frame, cursorStyle, [] { return frames::cursorStyle(1); });
BENCHMARK_CAPTURE(frame, backlight, [] { return frames::backlight(0); });
BENCHMARK_CAPTURE(frame, setBrightness, [] { return frames::setBrightness(155); });
BENCHMARK_CAPTURE(frame, graph, [] { return frames::graph(1, 79); });
BENCHMARK_CAPTURE(frame, clearRowOrColumn, [] { return frames::clearRowOrColumn(1, 15); });
BENCHMARK_CAPTURE(frame, setOutputs,
                  [] { return frames::setOutputs(frames::outputMask(true, false, true)); });
BENCHMARK_CAPTURE(frame, setCursorPosition, [] { return frames::setCursorPosition(1, 15); });
BENCHMARK_CAPTURE(frame, readInputs, [] { return frames::readInputs(); });
BENCHMARK_CAPTURE(frame, saveSettings, [] { return frames::saveSettings(); });
BENCHMARK_CAPTURE(frame, customCharWrites, [] {
    dialogframes::Bitmaps bitmaps{};
    bitmaps[7] = 0x1F;
    return dialogframes::customCharWrites(bitmaps);
});
BENCHMARK_CAPTURE(frame, setStartupScreen, [] {
    return dialogframes::setStartupScreen(QStringLiteral("0123456789ABCDEF"),
                                          QStringLiteral("fedcba9876543210"));
});

BENCHMARK_MAIN();
