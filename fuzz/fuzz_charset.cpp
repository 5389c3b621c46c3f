// The character set file reader on arbitrary bytes: never crashes, a refusal always says
// why, and a set it accepts is written so that it reads back the same.
#include "settings/charsetfile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace torvika::charset;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const ReadResult read =
        parse(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!read.set) {
        if (read.problem.isEmpty())
            std::abort();
        return 0;
    }
    // A row the reader accepted may hold what the writer refuses (a line break from UTF-16);
    // anything the writer takes must come back unchanged.
    if (!unwritable(*read.set).isEmpty())
        return 0;
    const ReadResult again = parse(format(*read.set));
    if (!again.set || !(*again.set == *read.set))
        std::abort();
    return 0;
}
