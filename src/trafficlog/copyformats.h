#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace torvika::trafficlog {

// How selected frames go to the clipboard, one frame a line.
enum class CopyFormat {
    Hex,    // FE 32 01 0F
    CArray, // const uint8_t frame[] = {0xFE, 0x32, 0x01, 0x0F};
    Python, // b"\xfe\x32\x01\x0f"
    Text,   // the rows themselves, every cell whole, tab-separated
};

// Several frames in C get numbered names (frame1, frame2, ...), so the lines compile together.
QString formatFrames(const QList<QByteArray> &frames, CopyFormat format);

} // namespace torvika::trafficlog
