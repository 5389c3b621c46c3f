// The settings-file reader and writer on arbitrary content.
// Invariants: reading never fails; after a write the key reads back as the value written, and
// every line of the file but that key's line is unchanged.
#include "settings/profile.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>

using namespace torvika::profile;

namespace {

// Splits at CR LF, LF or CR, keeping each line end with its line.
QList<QByteArray> linesOf(const QByteArray &text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines << text.mid(start, i + 1 - start);
            start = i + 1;
        }
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QByteArray withoutLineEnd(QByteArray line) {
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // Input: section, key and value on the first three lines, the file after them.
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QList<QByteArray> parts = input.split('\n');
    if (parts.size() < 4)
        return 0;
    const QByteArray section = parts[0], key = parts[1], value = parts[2];
    const QByteArray content = input.mid(section.size() + key.size() + value.size() + 3);

    // Reading never fails and never returns more than fits.
    if (readString(content, section, key).size() > MaxValueLength)
        std::abort();
    readSection(content, section);

    const QByteArray written = writeString(content, section, key, value);
    if (!canWrite(section, key, value)) {
        if (written != content)
            std::abort();
        return 0;
    }
    // A value reads back as written where the format can carry it: no surrounding blanks or
    // matching quotes, and short enough not to be cut.
    const QByteArray back = readString(written, section, key);
    const QByteArray plain = value.trimmed();
    const bool quoted = plain.size() >= 2 && (plain.front() == '"' || plain.front() == '\'') &&
                        plain.back() == plain.front();
    if (plain == value && !quoted && value.size() <= MaxValueLength && back != value)
        std::abort();

    // The files agree line for line (line ends aside) but for one stretch in the middle: at
    // most the one key line of the old file, replaced by at most a header and a key line.
    const QList<QByteArray> before = linesOf(content), after = linesOf(written);
    qsizetype head = 0;
    while (head < before.size() && head < after.size() &&
           withoutLineEnd(before[head]) == withoutLineEnd(after[head]))
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           withoutLineEnd(before[before.size() - 1 - tail]) ==
               withoutLineEnd(after[after.size() - 1 - tail]))
        ++tail;
    if (before.size() - head - tail > 1 || after.size() - head - tail > 2)
        std::abort();
    return 0;
}
