#pragma once

#include "protocol/frames.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// One user character as text, the forms people exchange with firmware and character
// designers, and back. Pure.
namespace torvika::protocol {

// Eight rows, top row first; bit 4 is the leftmost pixel, bit 0 the rightmost.
using CharBitmap = std::array<std::uint8_t, CharRows>;

// Pasted text longer than this is not read: one character is a few dozen characters of text.
constexpr qsizetype MaxCharTextLength = 64 * 1024;

QString charAsCArray(const CharBitmap &rows); // {0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00}
QString charAsBinary(const CharBitmap &rows); // B00000, B01010, B11111, ...
QString charAsHex(const CharBitmap &rows);    // 00 0A 1F 1F 0E 04 00 00

struct ParsedChar {
    std::optional<CharBitmap> rows;
    QString problem; // why the text is not one character; empty when `rows` holds one
};

// Reads any of the forms above, decimal lists, 0b01010 values, C suffixes (0x0Au) and eight
// lines of dot art (".#.#.", "01010" or " * * "), with or without braces, brackets, commas,
// comments or a declaration around them. Bare numbers are decimal, except a list of two-digit
// hex numbers separated by blanks only, or with commas when one has a letter or a leading zero
// ("00,0A,1F"). Text that is not exactly one 5x8 character gives the reason.
ParsedChar parseChar(const QString &text);

// The eight characters as a C header a firmware can include.
QByteArray charSetAsCHeader(const Bitmaps &bitmaps);

// The slot's character out of the 64 bytes of all eight.
CharBitmap charOf(const Bitmaps &bitmaps, int slot);

} // namespace torvika::protocol
