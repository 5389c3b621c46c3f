#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Private-profile ("INI") text handled as bytes, matching the platform functions that the
// users' existing files were written for. Pure: no file access.
namespace torvika::profile {

// Longest value a read returns; longer values are cut to this many bytes.
constexpr int MaxValueLength = 254;

// Value of `key` in `section`, or an empty array when there is none.
QByteArray readString(QByteArrayView content, QByteArrayView section, QByteArrayView key);

// `content` with `key` in `section` set to `value`; every other byte unchanged.
QByteArray writeString(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                       QByteArrayView value);

} // namespace torvika::profile
