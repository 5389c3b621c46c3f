#include "config/frmudchar.h"

namespace torvika {

namespace {

using K = layout::Kind;

constexpr layout::FontSpec MsSansSerif{.family = "MS Sans Serif", .points = 8.25};
constexpr layout::Rgb Unlit{128, 255, 128};

// Positions in twips within the dialog's client area; frames come before their contents.
// clang-format off
const layout::Item Layout[] = {
    // Custom character editor: on the dialog itself; the frame only draws a border behind the grid.
    {.name = "FrameC", .kind = K::Frame, .index = -1, .caption = "Custom Character", .left = 360, .top = 120, .width = 2415, .height = 3375, .tab = 51, .parent = nullptr, .font = MsSansSerif},
    {.name = "UDC1", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 480, .width = 255, .height = 255, .tab = 4, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 480, .width = 255, .height = 255, .tab = 3, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 480, .width = 255, .height = 255, .tab = 2, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 480, .width = 255, .height = 255, .tab = 1, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 480, .width = 255, .height = 255, .tab = 0, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1A", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 840, .width = 255, .height = 255, .tab = 9, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1A", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 840, .width = 255, .height = 255, .tab = 8, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1A", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 840, .width = 255, .height = 255, .tab = 7, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1A", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 840, .width = 255, .height = 255, .tab = 6, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1A", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 840, .width = 255, .height = 255, .tab = 5, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1B", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 1200, .width = 255, .height = 255, .tab = 16, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1B", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 1200, .width = 255, .height = 255, .tab = 15, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1B", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 1200, .width = 255, .height = 255, .tab = 14, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1B", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 1200, .width = 255, .height = 255, .tab = 13, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1B", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 1200, .width = 255, .height = 255, .tab = 12, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1C", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 1560, .width = 255, .height = 255, .tab = 22, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1C", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 1560, .width = 255, .height = 255, .tab = 21, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1C", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 1560, .width = 255, .height = 255, .tab = 20, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1C", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 1560, .width = 255, .height = 255, .tab = 19, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1C", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 1560, .width = 255, .height = 255, .tab = 18, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1D", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 1920, .width = 255, .height = 255, .tab = 24, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1D", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 1920, .width = 255, .height = 255, .tab = 25, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1D", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 1920, .width = 255, .height = 255, .tab = 26, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1D", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 1920, .width = 255, .height = 255, .tab = 27, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1D", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 1920, .width = 255, .height = 255, .tab = 28, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1E", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 2280, .width = 255, .height = 255, .tab = 29, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1E", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 2280, .width = 255, .height = 255, .tab = 30, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1E", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 2280, .width = 255, .height = 255, .tab = 31, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1E", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 2280, .width = 255, .height = 255, .tab = 32, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1E", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 2280, .width = 255, .height = 255, .tab = 33, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1F", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 2640, .width = 255, .height = 255, .tab = 34, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1F", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 2640, .width = 255, .height = 255, .tab = 35, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1F", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 2640, .width = 255, .height = 255, .tab = 36, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1F", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 2640, .width = 255, .height = 255, .tab = 37, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1F", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 2640, .width = 255, .height = 255, .tab = 38, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1G", .kind = K::PixelCell, .index = 16, .caption = "", .left = 720, .top = 3000, .width = 255, .height = 255, .tab = 39, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1G", .kind = K::PixelCell, .index = 8, .caption = "", .left = 1080, .top = 3000, .width = 255, .height = 255, .tab = 40, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1G", .kind = K::PixelCell, .index = 4, .caption = "", .left = 1440, .top = 3000, .width = 255, .height = 255, .tab = 41, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1G", .kind = K::PixelCell, .index = 2, .caption = "", .left = 1800, .top = 3000, .width = 255, .height = 255, .tab = 42, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "UDC1G", .kind = K::PixelCell, .index = 1, .caption = "", .left = 2160, .top = 3000, .width = 255, .height = 255, .tab = 43, .parent = nullptr, .font = MsSansSerif, .background = Unlit},
    {.name = "cmdSetAll", .kind = K::Button, .index = -1, .caption = "Set All", .left = 600, .top = 3600, .width = 855, .height = 495, .tab = 49, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdClrAll", .kind = K::Button, .index = -1, .caption = "Clear All", .left = 1800, .top = 3600, .width = 735, .height = 495, .tab = 50, .parent = nullptr, .font = MsSansSerif},
    {.name = "Label1", .kind = K::Label, .index = -1, .caption = "ROW1   ROW2    ROW3   ROW4   ROW5  ROW6   ROW7   ROW8", .left = 3240, .top = 240, .width = 4695, .height = 255, .tab = 48, .parent = nullptr},
    {.name = "lblRow1", .kind = K::Label, .index = -1, .caption = "", .left = 3240, .top = 600, .width = 495, .height = 255, .tab = 10, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow2", .kind = K::Label, .index = -1, .caption = "", .left = 3840, .top = 600, .width = 495, .height = 255, .tab = 11, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow3", .kind = K::Label, .index = -1, .caption = "", .left = 4440, .top = 600, .width = 495, .height = 255, .tab = 17, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow4", .kind = K::Label, .index = -1, .caption = "", .left = 5040, .top = 600, .width = 495, .height = 255, .tab = 23, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow5", .kind = K::Label, .index = -1, .caption = "", .left = 5640, .top = 600, .width = 495, .height = 255, .tab = 44, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow6", .kind = K::Label, .index = -1, .caption = "", .left = 6240, .top = 600, .width = 495, .height = 255, .tab = 45, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow7", .kind = K::Label, .index = -1, .caption = "", .left = 6840, .top = 600, .width = 495, .height = 255, .tab = 46, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "lblRow8", .kind = K::Label, .index = -1, .caption = "", .left = 7440, .top = 600, .width = 495, .height = 255, .tab = 47, .parent = nullptr, .font = MsSansSerif, .border = true},
    {.name = "cmdSetUD", .kind = K::Button, .index = 0, .caption = "Set As Char 0", .left = 3720, .top = 1200, .width = 855, .height = 615, .tab = 52, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 1, .caption = "Set As Char 1", .left = 4800, .top = 1200, .width = 855, .height = 615, .tab = 53, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 2, .caption = "Set As Char 2", .left = 5880, .top = 1200, .width = 855, .height = 615, .tab = 54, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 3, .caption = "Set As Char 3", .left = 6960, .top = 1200, .width = 855, .height = 615, .tab = 55, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 4, .caption = "Set As Char 4", .left = 3720, .top = 2040, .width = 855, .height = 615, .tab = 56, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 5, .caption = "Set As Char 5", .left = 4800, .top = 2040, .width = 855, .height = 615, .tab = 57, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 6, .caption = "Set As Char 6", .left = 5880, .top = 2040, .width = 855, .height = 615, .tab = 58, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdSetUD", .kind = K::Button, .index = 7, .caption = "Set As Char 7", .left = 6960, .top = 2040, .width = 855, .height = 615, .tab = 59, .parent = nullptr, .font = MsSansSerif},
    {.name = "cmdLoadUD", .kind = K::Button, .index = -1, .caption = "Send Bitmap to LCD", .left = 3720, .top = 3000, .width = 4095, .height = 375, .tab = 60, .parent = nullptr, .font = MsSansSerif},
    // Set TORVIKA Baud Rate
    {.name = "Frame1", .kind = K::Frame, .index = -1, .caption = "Set TORVIKA Baud Rate", .left = 3840, .top = 3600, .width = 3975, .height = 975, .tab = 61, .parent = nullptr},
    {.name = "cmd9600", .kind = K::Button, .index = -1, .caption = "9600 bps", .left = 480, .top = 360, .width = 1455, .height = 375, .tab = 62, .parent = "Frame1"},
    {.name = "cmd19200", .kind = K::Button, .index = -1, .caption = "19200 bps", .left = 2280, .top = 360, .width = 1335, .height = 375, .tab = 63, .parent = "Frame1"},
    // Define Startup Screen
    {.name = "Frame2", .kind = K::Frame, .index = -1, .caption = "Define Startup Screen", .left = 720, .top = 4680, .width = 7095, .height = 1335, .tab = 64, .parent = nullptr},
    {.name = "Label2", .kind = K::Label, .index = -1, .caption = "Row 0", .left = 240, .top = 360, .width = 615, .height = 255, .tab = 65, .parent = "Frame2"},
    {.name = "txtLine1", .kind = K::TextField, .index = -1, .caption = "", .left = 1200, .top = 360, .width = 2535, .height = 285, .tab = 67, .parent = "Frame2", .maxLength = 16},
    {.name = "Label3", .kind = K::Label, .index = -1, .caption = "Row 1", .left = 240, .top = 840, .width = 615, .height = 255, .tab = 66, .parent = "Frame2"},
    {.name = "TxtLine2", .kind = K::TextField, .index = -1, .caption = "", .left = 1200, .top = 840, .width = 2535, .height = 285, .tab = 68, .parent = "Frame2", .maxLength = 16},
    {.name = "cmdSetSU", .kind = K::Button, .index = -1, .caption = "Set Startup Screen", .left = 4680, .top = 240, .width = 1815, .height = 375, .tab = 70, .parent = "Frame2"},
    {.name = "cmdClrSU", .kind = K::Button, .index = -1, .caption = "Erase Startup Screen", .left = 4680, .top = 720, .width = 1815, .height = 375, .tab = 69, .parent = "Frame2"},
};
// clang-format on

} // namespace

std::span<const layout::Item> frmUDCharLayout() {
    return Layout;
}

} // namespace torvika
