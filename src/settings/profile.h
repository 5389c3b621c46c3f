#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

// Private-profile ("INI") text handled as bytes, matching the platform functions that the
// users' existing files were written for. Pure: no file access.
//
// Lines end in CR LF, LF or CR. A line whose first non-blank byte is ';' is a comment; one
// whose first non-blank byte is '[' is a section header named by the text up to the first ']'
// (the rest of the line without one); any other line holding '=' is a key line. Names compare
// without regard to ASCII case, blanks and tabs around them ignored. A UTF-8 byte-order mark is
// skipped.
namespace torvika::profile {

// Longest value a read returns; longer values are cut to this many bytes.
constexpr int MaxValueLength = 254;

// Value of `key` in `section`, or an empty array when there is none.
QByteArray readString(QByteArrayView content, QByteArrayView section, QByteArrayView key);

// 1-based number of the line that readString() takes the value of `key` in `section` from, or
// 0 when there is none.
int lineOf(QByteArrayView content, QByteArrayView section, QByteArrayView key);

// Every key of `section` with its value as readString() gives it, in file order; of keys that
// repeat only the first is listed. Keys keep their spelling in the file.
QList<std::pair<QByteArray, QByteArray>> readSection(QByteArrayView content,
                                                     QByteArrayView section);

// Whether writeString() can store this triple so that it reads back: names must not be empty,
// must not break the line structure (line ends; ']' in a section name; '=' in a key name or a
// key that would read as a comment or a header), and the value must hold no line end.
bool canWrite(QByteArrayView section, QByteArrayView key, QByteArrayView value);

// `content` with `key` in `section` set to `value`; every other byte unchanged. Returns
// `content` as it is when !canWrite(section, key, value) or when the key already reads as
// `value`. A key rewritten on a last line without a line end gets the file's line end.
QByteArray writeString(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                       QByteArrayView value);

} // namespace torvika::profile
