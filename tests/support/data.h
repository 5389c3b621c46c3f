#pragma once

#include <QByteArray>
#include <QTest>

#include <array>
#include <tuple>
#include <utility>

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

// The current row's values of those columns, for one line of structured bindings:
// const auto [name, index] = fetch<QString, int>({"name", "index"}).
template <typename... T>
std::tuple<T...> fetch(const std::array<const char *, sizeof...(T)> &names) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::tuple<T...>(*static_cast<T *>(QTest::qData(names[I], qMetaTypeId<T>()))...);
    }
    (std::index_sequence_for<T...>{});
}

} // namespace torvika::test
