#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// Frames of the configuration dialog, written straight to the port. Each function gives the
// writes of one button, in order, one QByteArray per write.
namespace torvika::dialogframes {

// Eight characters of eight rows each, top row first; bits 4..0 are the pixel columns.
using Bitmaps = std::array<std::uint8_t, 64>;

constexpr int CustomCharFrameSize = 66;

// FE 64 and the 64 bitmap bytes, character 0 first.
QByteArray customCharBitmaps(const Bitmaps &bitmaps);
// The same frame cut into its eight writes: 10 bytes (prefix, command, character 0), then
// one write of 8 bytes for each further character.
QList<QByteArray> customCharWrites(const Bitmaps &bitmaps);

struct StartupScreen {
    QByteArray frame; // FE C8, row 0, 0D, row 1, FF; empty when the text cannot be carried
    QString problem;  // why not, naming the row and the character
};
// The rows' characters go out as typed, one byte each. A character the frame cannot carry
// (0x0D and 0xFF separate and end it; above 255 is no byte) makes no frame.
StartupScreen setStartupScreen(const QString &row0, const QString &row1);

QList<QByteArray> eraseStartupScreenWrites(); // FE 15 0D, "Startup Screen Erased"
QList<QByteArray> setBaud9600Writes();        // 0D, FE 1E, "BR Set : 9600"
QList<QByteArray> setBaud19200Writes();       // 0D, FE 1F, "BR Set : 19200"

} // namespace torvika::dialogframes
