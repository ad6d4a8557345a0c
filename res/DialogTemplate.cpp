// The rows of dialog template 101 and the dialog-unit arithmetic that places them.
#include "res/DialogTemplate.h"

#include <array>
#include <cmath>

namespace corvane::res {
namespace {

using namespace style;

constexpr std::uint32_t kBase = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kFrame = kBase | BS_GROUPBOX | BS_CENTER;
constexpr std::uint32_t kLeft = kBase | WS_GROUP | SS_LEFT;
constexpr std::uint32_t kCentre = kBase | WS_GROUP | SS_CENTER;
constexpr std::uint32_t kCombo = kBase | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN;
constexpr std::uint32_t kDisplay = kBase | WS_TABSTOP | ES_READONLY | ES_RIGHT;
constexpr std::uint32_t kTimeEdit = kBase | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER;
constexpr std::uint32_t kInfoEdit = kBase | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_CENTER;
constexpr std::uint32_t kVert = kBase | WS_TABSTOP | TBS_VERT | TBS_BOTH;
constexpr std::uint32_t kHorz = kBase | WS_TABSTOP | TBS_HORZ | TBS_BOTH;
constexpr std::uint32_t kCheck = kBase | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr std::uint32_t kPush = kBase | WS_TABSTOP | BS_PUSHBUTTON;

constexpr auto G = ItemKind::GroupBox;
constexpr auto S = ItemKind::Static;
constexpr auto C = ItemKind::ComboBox;
constexpr auto E = ItemKind::Edit;
constexpr auto T = ItemKind::Trackbar;

// Template order is tab and stacking order.
constexpr std::array<DialogItem, 80> kItems{{
    {kNoId, G, kFrame, 0, 145, 0, 105, 237, "", false},
    {1051, S, kLeft, 0, 150, 18, 17, 10, "Type", false},
    {1010, C, kCombo, 0, 174, 18, 73, 15, "", false},
    {1054, S, kCentre, 0, 153, 36, 36, 8, "S&&H", false},
    {1013, E, kDisplay, 0, 150, 48, 40, 12, "", false},
    {1011, T, kVert, 0, 153, 63, 30, 75, "Slider1", false},
    {kNoId, G, kFrame, 0, 255, 0, 105, 237, "", false},
    {1052, S, kLeft, 0, 258, 18, 17, 10, "Type", false},
    {1009, C, kCombo, 0, 279, 18, 75, 15, "", false},
    {1056, S, kCentre, 0, 261, 36, 40, 8, "Freq", false},
    {1003, E, kDisplay, 0, 261, 48, 40, 12, "", false},
    {1002, T, kVert, 0, 267, 63, 30, 75, "Slider1", false},
    {1057, S, kCentre, 0, 309, 36, 40, 8, "Q", false},
    {1005, E, kDisplay, 0, 309, 48, 40, 12, "", false},
    {1004, T, kVert, 0, 315, 63, 30, 75, "Slider1", false},
    {kNoId, G, kFrame, 0, 365, 0, 155, 237, "", false},
    {1053, S, kLeft, 0, 372, 18, 17, 10, "Input", false},
    {1014, C, kCombo, 0, 405, 18, 112, 12, "", false},
    {1058, S, kCentre, 0, 369, 36, 40, 8, "Volume", false},
    {1016, E, kDisplay, 0, 369, 48, 40, 12, "", false},
    {1015, T, kVert, 0, 375, 63, 30, 75, "Slider1", false},
    {1021, ItemKind::CheckBox, kCheck, 0, 369, 141, 40, 15, "Mute", false},
    {1059, S, kCentre, 0, 423, 36, 33, 8, "Pan", false},
    {1018, E, kDisplay, 0, 417, 48, 40, 12, "", false},
    {1017, T, kVert, 0, 426, 63, 30, 75, "Slider1", false},
    {1024, ItemKind::PushButton, kPush, 0, 420, 140, 31, 14, "Center", false},
    {1060, S, kCentre, 0, 465, 36, 40, 8, "Pitch", false},
    {1020, E, kDisplay, 0, 465, 48, 40, 12, "", false},
    {1019, T, kVert, 0, 474, 63, 30, 75, "Slider1", false},
    {1022, ItemKind::PushButton, kPush, 0, 467, 141, 33, 14, "Original", false},
    {1006, E, kTimeEdit, 0, 525, 216, 50, 15, "", false},
    {kNoId, G, kFrame, 0, 6, 0, 135, 237, "", false},
    {1069, S, kCentre, 0, 12, 32, 69, 10, "Shape", false},
    {1012, C, kCombo, 0, 12, 43, 69, 15, "", false},
    {1072, S, kCentre, 0, 87, 30, 51, 8, "Freq", false},
    {1023, E, kDisplay, 0, 85, 42, 51, 12, "", false},
    {1025, T, kHorz, 0, 12, 59, 123, 22, "Slider1", false},
    {1007, T, kVert, 0, 263, 191, 30, 30, "Slider1", false},
    {1065, S, kCentre, 0, 261, 160, 40, 8, "FM", false},
    {1062, S, kCentre, 0, 369, 160, 40, 8, "AM", false},
    {1008, T, kVert, 0, 379, 191, 30, 30, "Slider1", false},
    {1026, C, kCombo, 0, 260, 169, 45, 12, "", false},
    {1027, C, kCombo, 0, 369, 170, 45, 12, "", false},
    {1028, T, kVert, 0, 315, 191, 30, 30, "Slider1", false},
    {1066, S, kCentre, 0, 312, 160, 40, 8, "QM", false},
    {1029, C, kCombo, 0, 312, 170, 45, 12, "", false},
    {1070, S, kCentre, 0, 9, 99, 69, 10, "Shape", false},
    {1036, C, kCombo, 0, 9, 111, 69, 15, "", false},
    {1073, S, kCentre, 0, 86, 99, 51, 8, "Freq", false},
    {1037, E, kDisplay, 0, 83, 111, 51, 12, "", false},
    {1038, T, kHorz, 0, 9, 126, 123, 22, "Slider1", false},
    {1071, S, kCentre, 0, 9, 171, 69, 10, "Shape", false},
    {1039, C, kCombo, 0, 9, 183, 69, 15, "", false},
    {1074, S, kCentre, 0, 85, 171, 51, 8, "Freq", false},
    {1040, E, kDisplay, 0, 84, 183, 51, 12, "", false},
    {1041, T, kHorz, 0, 9, 198, 123, 22, "Slider1", false},
    {1063, S, kCentre, 0, 417, 160, 40, 8, "BM", false},
    {1042, T, kVert, 0, 423, 191, 30, 30, "Slider1", false},
    {1043, C, kCombo, 0, 417, 170, 45, 12, "", false},
    {1064, S, kCentre, 0, 467, 160, 40, 8, "FM", false},
    {1044, T, kVert, 0, 473, 191, 30, 30, "Slider1", false},
    {1045, C, kCombo, 0, 467, 170, 45, 12, "", false},
    {1049, S, kCentre, 0, 6, 4, 134, 10, "MODULATORS", false},
    {1046, S, kCentre, 0, 145, 4, 104, 10, "GENERATOR", false},
    {1048, S, kCentre, 0, 256, 4, 104, 10, "FILTER", false},
    {1047, S, kCentre, 0, 366, 4, 153, 10, "CHANNEL", false},
    {1050, S, kCentre, 0, 525, 5, 75, 40, "\nC O R V A N E\nCV-01", false},
    {1030, E, kInfoEdit, WS_EX_CLIENTEDGE, 525, 50, 75, 30, "", false},
    {1031, T, kVert, 0, 156, 191, 30, 30, "Slider1", false},
    {1032, T, kVert, 0, 207, 63, 30, 75, "Slider1", false},
    {1055, S, kCentre, 0, 204, 36, 40, 8, "Smooth", false},
    {1033, C, kCombo, 0, 198, 170, 45, 12, "", false},
    {1034, C, kCombo, 0, 150, 170, 45, 12, "", false},
    {1035, T, kVert, 0, 204, 191, 30, 30, "Slider1", false},
    {1061, S, kCentre, 0, 150, 160, 40, 8, "HM", false},
    {1067, S, kCentre, 0, 200, 160, 40, 8, "SM", false},
    {1068, E, kDisplay, 0, 201, 48, 40, 12, "", false},
    {1075, S, kCentre, 0, 9, 18, 126, 10, "-------- LFO 1 --------", false},
    {1076, S, kCentre, 0, 9, 87, 126, 10, "-------- LFO 2 --------", false},
    {1077, S, kCentre, 0, 9, 159, 129, 10, "-------- LFO 3 --------", false},
}};

constexpr DialogTemplate kPanel{101, WS_CHILD | DS_SETFONT, 617, 254, "MS Sans Serif", 8, kItems};

// Half a pixel rounds up; dialog units are never negative in the template.
int RoundedRatio(int dlu, int num, int den)
{
    const long long scaled = static_cast<long long>(dlu) * num;
    if (scaled >= 0)
        return static_cast<int>((scaled * 2 + den) / (2 * den));
    return -static_cast<int>((-scaled * 2 + den) / (2 * den));
}

} // namespace

const DialogTemplate& PanelTemplate()
{
    return kPanel;
}

const DialogItem* FindItem(const DialogTemplate& dlg, int id)
{
    if (id == kNoId)
        return nullptr;
    for (const DialogItem& item : dlg.items)
        if (item.id == id)
            return &item;
    return nullptr;
}

int DluToPixelsX(int dlu)
{
    return RoundedRatio(dlu, 6, 4);
}

int DluToPixelsY(int dlu)
{
    return RoundedRatio(dlu, 13, 8);
}

PixelRect ItemRectPixels(const DialogItem& item)
{
    return {DluToPixelsX(item.x), DluToPixelsY(item.y), DluToPixelsX(item.cx), DluToPixelsY(item.cy)};
}

int DluToPixelsX(int dlu, double zoom)
{
    return zoom == 1.0 ? DluToPixelsX(dlu) : static_cast<int>(std::lround(dlu * 6.0 / 4.0 * zoom));
}

int DluToPixelsY(int dlu, double zoom)
{
    return zoom == 1.0 ? DluToPixelsY(dlu) : static_cast<int>(std::lround(dlu * 13.0 / 8.0 * zoom));
}

PixelRect ItemRectPixels(const DialogItem& item, double zoom)
{
    return {DluToPixelsX(item.x, zoom), DluToPixelsY(item.y, zoom), DluToPixelsX(item.cx, zoom),
            DluToPixelsY(item.cy, zoom)};
}

} // namespace corvane::res
