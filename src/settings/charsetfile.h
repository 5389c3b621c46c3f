#pragma once

#include "protocol/frames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

// Character set files (.tvkchars): the eight user characters and, optionally, the two
// startup-screen rows, as a small text file people can read and diff:
//
//   ; TORVIKA character set
//   [Characters]
//   0=00 0A 1F 1F 0E 04 00 00 ; heart   (keys 0 to 7, all required; eight hex bytes, top
//                                       row first; a ';' after them starts a comment)
//   [Startup]
//   Row0="Hello"                  (optional section; each row at most 16 characters)
//   Row1=""
//
// Read with the settings file's profile rules: comments, blank lines and the letter case of
// names behave as there. Written as UTF-8; read from UTF-8, UTF-16 (with or without a
// byte-order mark) or, when the bytes are no UTF-8, Latin-1 as older Windows editors write.
namespace torvika::charset {

inline constexpr char FileSuffix[] = "tvkchars";
// Larger files are refused unread: a character set is a few hundred bytes.
constexpr qint64 MaxFileSize = 64 * 1024;

struct CharacterSet {
    protocol::Bitmaps chars{};
    std::optional<std::array<QString, 2>> startup; // present when the file has [Startup]
    friend bool operator==(const CharacterSet &, const CharacterSet &) = default;
};

struct ReadResult {
    std::optional<CharacterSet> set;
    QString problem; // names the line (or the key that is missing); empty when `set` holds one
};

ReadResult parse(QByteArrayView content);
// The file's text; rows are quoted so that blanks around them survive.
QByteArray format(const CharacterSet &set);
// Why `set` cannot be written so that it reads back the same, or "".
QString unwritable(const CharacterSet &set);

// Reads a file: a missing, unreadable, oversized or non-regular file is refused with its reason.
ReadResult readFile(const QString &path);
// Writes the file whole (a crash leaves the old one or the new one). Returns "" or the reason.
QString writeFile(const QString &path, const CharacterSet &set);
// Writes any text whole, the same way.
QString writeWhole(const QString &path, const QByteArray &content);

} // namespace torvika::charset
