// The line-settings parser on arbitrary text: never crashes, and what it accepts is in range
// and reads the same when written back out.
#include "platform/linesettings.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace torvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const LineSettingsParse parsed = parseLineSettings(text);
    if (!parsed.settings) {
        if (parsed.problem.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    const LineSettings &s = *parsed.settings;
    if (s.baudRate <= 0 || s.dataBits < 5 || s.dataBits > 8 || !parsed.problem.isEmpty())
        std::abort();
    static const char parities[] = "neoms";
    const QString again = QStringLiteral("%1,%2,%3,%4")
                              .arg(s.baudRate)
                              .arg(QLatin1Char(parities[static_cast<int>(s.parity)]))
                              .arg(s.dataBits)
                              .arg(s.stopBits == LineSettings::StopBits::Two ? "2" : "1");
    const LineSettingsParse reparsed = parseLineSettings(again);
    if (!reparsed.settings || !(*reparsed.settings == s))
        std::abort();
    return 0;
}
