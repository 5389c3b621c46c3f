#include "mainwindow/frmmain.h"

namespace torvika {

namespace {

using K = layout::Kind;
using layout::Rgb;

// Positions in twips within the container's client area; frames come before their contents.
// clang-format off
const layout::Item Layout[] = {
    {.name = "Frame1", .kind = K::Frame, .index = -1, .caption = "Comm Port Settings", .left = 240, .top = 240, .width = 5175, .height = 975, .tab = 0, .parent = nullptr},
    {.name = "Frame2", .kind = K::Frame, .index = -1, .caption = "Send Text", .left = 240, .top = 1320, .width = 5175, .height = 2895, .tab = 5, .parent = nullptr},
    {.name = "Frame3", .kind = K::Frame, .index = -1, .caption = "Communication Data Monitor", .left = 240, .top = 6480, .width = 6975, .height = 1335, .tab = 7, .parent = nullptr},
    {.name = "Frame4", .kind = K::Frame, .index = -1, .caption = "Cursor Control", .left = 5640, .top = 240, .width = 4455, .height = 2055, .tab = 16, .parent = nullptr},
    {.name = "Frame5", .kind = K::Frame, .index = -1, .caption = "Backlight Control", .left = 5640, .top = 2520, .width = 4455, .height = 1095, .tab = 19, .parent = nullptr},
    {.name = "Frame6", .kind = K::Frame, .index = -1, .caption = "I/O Control", .left = 240, .top = 4320, .width = 5175, .height = 2055, .tab = 29, .parent = nullptr},
    {.name = "Frame7", .kind = K::Frame, .index = -1, .caption = "Horizontal Bar Graph", .left = 5640, .top = 3840, .width = 4455, .height = 1575, .tab = 53, .parent = nullptr},
    {.name = "Frame8", .kind = K::Frame, .index = -1, .caption = "Remember Settings", .left = 7560, .top = 5520, .width = 2535, .height = 1815, .tab = 62, .parent = nullptr},
    // Comm Port Settings
    {.name = "opt9600", .kind = K::OptionButton, .index = -1, .caption = "9600 bps", .left = 240, .top = 360, .width = 975, .height = 255, .tab = 3, .parent = "Frame1"},
    {.name = "opt19200", .kind = K::OptionButton, .index = -1, .caption = "19200 bps", .left = 1320, .top = 360, .width = 1215, .height = 255, .tab = 2, .parent = "Frame1"},
    {.name = "Label1", .kind = K::Label, .index = -1, .caption = "Select Port Number", .left = 2640, .top = 360, .width = 1455, .height = 255, .tab = 4, .parent = "Frame1"},
    {.name = "cboComm", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 4200, .top = 360, .width = 735, .height = 315, .tab = 1, .parent = "Frame1"},
    // Send Text
    {.name = "txtASCIIInput", .kind = K::TextField, .index = -1, .caption = "", .left = 600, .top = 360, .width = 615, .height = 495, .tab = 6, .parent = "Frame2", .font = {.family = "Tahoma", .points = 14.25}, .background = Rgb{0, 255, 0}, .align = Qt::AlignCenter, .maxLength = 1},
    {.name = "Label3", .kind = K::Label, .index = -1, .caption = "Type Here to Send ASCII Text to LCD", .left = 120, .top = 960, .width = 1575, .height = 375, .tab = 12, .parent = "Frame2", .align = Qt::AlignHCenter | Qt::AlignTop, .wordWrap = true},
    {.name = "cmdLCD", .kind = K::Button, .index = 0, .caption = "Cursor Home", .left = 1800, .top = 360, .width = 735, .height = 495, .tab = 13, .parent = "Frame2"},
    {.name = "cmdLCD", .kind = K::Button, .index = 1, .caption = "Next Line", .left = 2640, .top = 360, .width = 735, .height = 495, .tab = 14, .parent = "Frame2"},
    {.name = "cmdLCD", .kind = K::Button, .index = 2, .caption = "Clear Screen", .left = 3480, .top = 360, .width = 735, .height = 495, .tab = 15, .parent = "Frame2"},
    {.name = "cmdBackspace", .kind = K::Button, .index = -1, .caption = "Back space", .left = 4320, .top = 360, .width = 735, .height = 495, .tab = 67, .parent = "Frame2"},
    {.name = "cmdCustomChar", .kind = K::Button, .index = -1, .caption = "Load Custom Characters", .left = 1920, .top = 1080, .width = 2655, .height = 255, .tab = 61, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 0, .caption = "1", .left = 240, .top = 1560, .width = 495, .height = 375, .tab = 45, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 1, .caption = "2", .left = 840, .top = 1560, .width = 495, .height = 375, .tab = 46, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 2, .caption = "3", .left = 1440, .top = 1560, .width = 495, .height = 375, .tab = 47, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 3, .caption = "4", .left = 2040, .top = 1560, .width = 495, .height = 375, .tab = 48, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 4, .caption = "5", .left = 2640, .top = 1560, .width = 495, .height = 375, .tab = 49, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 5, .caption = "6", .left = 3240, .top = 1560, .width = 495, .height = 375, .tab = 50, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 6, .caption = "7", .left = 3840, .top = 1560, .width = 495, .height = 375, .tab = 51, .parent = "Frame2"},
    {.name = "cmdCustom", .kind = K::Button, .index = 7, .caption = "8", .left = 4440, .top = 1560, .width = 495, .height = 375, .tab = 52, .parent = "Frame2"},
    {.name = "Label14", .kind = K::Label, .index = -1, .caption = "Insert Custom Character", .left = 1680, .top = 2040, .width = 1935, .height = 255, .tab = 44, .parent = "Frame2"},
    {.name = "cmdDSU", .kind = K::Button, .index = -1, .caption = "Display Startup Screen", .left = 240, .top = 2400, .width = 2295, .height = 255, .tab = 68, .parent = "Frame2"},
    // Communication Data Monitor
    {.name = "Label2", .kind = K::Label, .index = -1, .caption = "Transmitted Bytes", .left = 120, .top = 360, .width = 1455, .height = 255, .tab = 11, .parent = "Frame3"},
    {.name = "lblTxData", .kind = K::Label, .index = -1, .caption = "", .left = 1560, .top = 360, .width = 5175, .height = 255, .tab = 10, .parent = "Frame3", .background = Rgb{255, 255, 192}, .foreground = Rgb{0, 0, 192}, .border = true},
    {.name = "Label4", .kind = K::Label, .index = -1, .caption = "Received Bytes", .left = 120, .top = 840, .width = 1335, .height = 255, .tab = 9, .parent = "Frame3"},
    {.name = "lblRxData", .kind = K::Label, .index = -1, .caption = "", .left = 1560, .top = 840, .width = 5175, .height = 255, .tab = 8, .parent = "Frame3", .background = Rgb{255, 255, 192}, .foreground = Rgb{0, 0, 192}, .border = true},
    // Cursor Control
    {.name = "cboCursor", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 240, .top = 240, .width = 1215, .height = 315, .tab = 17, .parent = "Frame4"},
    {.name = "cmdCursor", .kind = K::Button, .index = -1, .caption = "SEND", .left = 480, .top = 720, .width = 855, .height = 375, .tab = 18, .parent = "Frame4"},
    {.name = "cboRow", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 2160, .top = 240, .width = 735, .height = 315, .tab = 24, .parent = "Frame4"},
    {.name = "Label6", .kind = K::Label, .index = -1, .caption = "Row", .left = 2280, .top = 600, .width = 495, .height = 255, .tab = 25, .parent = "Frame4", .align = Qt::AlignHCenter | Qt::AlignVCenter},
    {.name = "cboColumn", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 3360, .top = 240, .width = 735, .height = 315, .tab = 26, .parent = "Frame4"},
    {.name = "Label7", .kind = K::Label, .index = -1, .caption = "Column", .left = 3360, .top = 600, .width = 735, .height = 255, .tab = 27, .parent = "Frame4", .align = Qt::AlignHCenter | Qt::AlignVCenter},
    {.name = "cmdCurPos", .kind = K::Button, .index = -1, .caption = "Set Cursor Position", .left = 1920, .top = 960, .width = 2295, .height = 255, .tab = 28, .parent = "Frame4"},
    {.name = "cmdCL", .kind = K::Button, .index = -1, .caption = "Cursor Left", .left = 480, .top = 1320, .width = 1095, .height = 255, .tab = 65, .parent = "Frame4"},
    {.name = "cmdCR", .kind = K::Button, .index = -1, .caption = "Cursor Right", .left = 480, .top = 1680, .width = 1095, .height = 255, .tab = 66, .parent = "Frame4"},
    {.name = "cmdClearCR", .kind = K::Button, .index = 0, .caption = "Clear Selected Row", .left = 1920, .top = 1320, .width = 2295, .height = 255, .tab = 59, .parent = "Frame4"},
    {.name = "cmdClearCR", .kind = K::Button, .index = 1, .caption = "Clear Selected Column", .left = 1920, .top = 1680, .width = 2295, .height = 255, .tab = 60, .parent = "Frame4"},
    // Backlight Control
    {.name = "cmdBL", .kind = K::Button, .index = 0, .caption = "ON", .left = 240, .top = 360, .width = 495, .height = 375, .tab = 20, .parent = "Frame5"},
    {.name = "cmdBL", .kind = K::Button, .index = 1, .caption = "OFF", .left = 840, .top = 360, .width = 495, .height = 375, .tab = 21, .parent = "Frame5"},
    {.name = "Backlightlevel", .kind = K::Slider, .index = -1, .caption = "", .left = 1680, .top = 240, .width = 2535, .height = 375, .tab = 22, .parent = "Frame5", .slider = {.minimum = protocol::MinBrightness, .maximum = protocol::MaxBrightness, .value = protocol::DefaultBrightness, .smallStep = 1, .largeStep = 5}},
    {.name = "Label5", .kind = K::Label, .index = -1, .caption = "Adjust Brightness", .left = 2400, .top = 720, .width = 1335, .height = 255, .tab = 23, .parent = "Frame5"},
    // I/O Control
    {.name = "Label8", .kind = K::Label, .index = -1, .caption = "Input 1", .left = 240, .top = 360, .width = 615, .height = 255, .tab = 30, .parent = "Frame6"},
    {.name = "Label9", .kind = K::Label, .index = -1, .caption = "Input 2", .left = 240, .top = 720, .width = 615, .height = 255, .tab = 31, .parent = "Frame6"},
    {.name = "Label10", .kind = K::Label, .index = -1, .caption = "Input 3", .left = 240, .top = 1080, .width = 615, .height = 255, .tab = 32, .parent = "Frame6"},
    {.name = "lblInput", .kind = K::Label, .index = 0, .caption = "", .left = 960, .top = 360, .width = 735, .height = 255, .tab = 33, .parent = "Frame6", .background = Rgb{255, 255, 192}, .border = true, .align = Qt::AlignCenter},
    {.name = "lblInput", .kind = K::Label, .index = 1, .caption = "", .left = 960, .top = 720, .width = 735, .height = 255, .tab = 34, .parent = "Frame6", .background = Rgb{255, 255, 192}, .border = true, .align = Qt::AlignCenter},
    {.name = "lblInput", .kind = K::Label, .index = 2, .caption = "", .left = 960, .top = 1080, .width = 735, .height = 255, .tab = 35, .parent = "Frame6", .background = Rgb{255, 255, 192}, .border = true, .align = Qt::AlignCenter},
    {.name = "cmdReadInput", .kind = K::Button, .index = -1, .caption = "Read Input", .left = 360, .top = 1560, .width = 1215, .height = 255, .tab = 36, .parent = "Frame6"},
    {.name = "Label11", .kind = K::Label, .index = -1, .caption = "Output 1", .left = 2160, .top = 360, .width = 735, .height = 255, .tab = 37, .parent = "Frame6"},
    {.name = "Label12", .kind = K::Label, .index = -1, .caption = "Output 2", .left = 2160, .top = 720, .width = 735, .height = 255, .tab = 38, .parent = "Frame6"},
    {.name = "Label13", .kind = K::Label, .index = -1, .caption = "Output 3", .left = 2160, .top = 1080, .width = 735, .height = 255, .tab = 39, .parent = "Frame6"},
    {.name = "cboOut1", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 3240, .top = 360, .width = 735, .height = 315, .tab = 40, .parent = "Frame6"},
    {.name = "cboOut2", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 3240, .top = 720, .width = 735, .height = 315, .tab = 41, .parent = "Frame6"},
    {.name = "cboOut3", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 3240, .top = 1080, .width = 735, .height = 315, .tab = 42, .parent = "Frame6"},
    {.name = "cmdOut", .kind = K::Button, .index = -1, .caption = "Set Output", .left = 2640, .top = 1560, .width = 1335, .height = 255, .tab = 43, .parent = "Frame6"},
    // Horizontal Bar Graph
    {.name = "Label15", .kind = K::Label, .index = -1, .caption = "Width", .left = 360, .top = 360, .width = 495, .height = 255, .tab = 55, .parent = "Frame7"},
    {.name = "cboGraph", .kind = K::ComboBox, .index = -1, .caption = "Combo1", .left = 240, .top = 720, .width = 735, .height = 315, .tab = 54, .parent = "Frame7"},
    {.name = "cmdInitGraph", .kind = K::Button, .index = -1, .caption = "Init Graph Utility", .left = 1560, .top = 360, .width = 2535, .height = 255, .tab = 58, .parent = "Frame7"},
    {.name = "cmdGraph", .kind = K::Button, .index = 0, .caption = "Draw Left to Right Graph", .left = 1560, .top = 720, .width = 2535, .height = 255, .tab = 56, .parent = "Frame7"},
    {.name = "cmdGraph", .kind = K::Button, .index = 1, .caption = "Draw Right to Left Graph", .left = 1560, .top = 1080, .width = 2535, .height = 255, .tab = 57, .parent = "Frame7"},
    // Remember Settings
    {.name = "Label16", .kind = K::Label, .index = -1, .caption = "This will store the Custom Characters,the LCD Brightness and baud rate settings onto non-volatile memory", .left = 240, .top = 240, .width = 2175, .height = 975, .tab = 64, .parent = "Frame8", .align = Qt::AlignLeft | Qt::AlignTop, .wordWrap = true},
    {.name = "cmdSave", .kind = K::Button, .index = -1, .caption = "SAVE", .left = 720, .top = 1320, .width = 1095, .height = 375, .tab = 63, .parent = "Frame8"},
};
// clang-format on

// What a screen reader says for the controls whose caption does not say it: the label beside
// the control, or a name for the screen reader alone.
constexpr accessibility::SpokenName SpokenNames[] = {
    {.control = "cboComm", .label = "Label1"},
    {.control = "txtASCIIInput", .label = "Label3"},
    {.control = "cboCursor", .name = "Cursor type"},
    {.control = "cboRow", .label = "Label6"},
    {.control = "cboColumn", .label = "Label7"},
    {.control = "Backlightlevel", .label = "Label5"},
    {.control = "cboOut1", .label = "Label11"},
    {.control = "cboOut2", .label = "Label12"},
    {.control = "cboOut3", .label = "Label13"},
    {.control = "cboGraph", .label = "Label15"},
    {.control = "cmdCustom", .index = 0, .name = "Insert custom character 1"},
    {.control = "cmdCustom", .index = 1, .name = "Insert custom character 2"},
    {.control = "cmdCustom", .index = 2, .name = "Insert custom character 3"},
    {.control = "cmdCustom", .index = 3, .name = "Insert custom character 4"},
    {.control = "cmdCustom", .index = 4, .name = "Insert custom character 5"},
    {.control = "cmdCustom", .index = 5, .name = "Insert custom character 6"},
    {.control = "cmdCustom", .index = 6, .name = "Insert custom character 7"},
    {.control = "cmdCustom", .index = 7, .name = "Insert custom character 8"},
};

} // namespace

std::span<const layout::Item> frmMainLayout() {
    return Layout;
}

std::span<const accessibility::SpokenName> frmMainSpokenNames() {
    return SpokenNames;
}

} // namespace torvika
