#pragma once

#include <QByteArray>
#include <QTest>

#include <array>

namespace torvika::test {

// Bytes from hex text; spaces are skipped: hex("FE 32 01 0F").
inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// The columns of a data-driven test in one line: columns<QString, int>({"name", "index"}).
template <typename... T> void columns(const std::array<const char *, sizeof...(T)> &names) {
    std::size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
}

} // namespace torvika::test
