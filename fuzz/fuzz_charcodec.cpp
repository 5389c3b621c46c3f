// The paste parser on arbitrary text: never crashes, a refusal always says why, and what it
// accepts is eight rows of five pixels that every written form reads back as the same.
#include "protocol/charcodec.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace torvika::protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ParsedChar parsed = parseChar(text);
    if (!parsed.rows) {
        if (parsed.problem.isEmpty())
            std::abort();
        return 0;
    }
    if (!parsed.problem.isEmpty())
        std::abort();
    for (const std::uint8_t row : *parsed.rows)
        if (row > FullCharRow)
            std::abort();
    for (const QString &form :
         {charAsCArray(*parsed.rows), charAsBinary(*parsed.rows), charAsHex(*parsed.rows)})
        if (parseChar(form).rows != parsed.rows)
            std::abort();
    return 0;
}
