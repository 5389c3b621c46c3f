#pragma once

#include <QByteArray>

namespace torvika::test {

// Bytes from hex text; spaces are skipped: hex("FE 32 01 0F").
inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

} // namespace torvika::test
