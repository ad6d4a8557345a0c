// Dialog template 101 (the synthesizer panel) as data: every item in tab order, in dialog units.
#pragma once

#include <cstdint>
#include <span>

namespace corvane::res {

// Window-style bits as the template stores them (Win32 values, kept so the table reads like
// the resource it describes).
namespace style {
constexpr std::uint32_t WS_CHILD = 0x40000000u;
constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
constexpr std::uint32_t WS_DISABLED = 0x08000000u;
constexpr std::uint32_t WS_BORDER = 0x00800000u;
constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
constexpr std::uint32_t WS_GROUP = 0x00020000u;
constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
constexpr std::uint32_t DS_SETFONT = 0x00000040u;
constexpr std::uint32_t BS_PUSHBUTTON = 0x0000u;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003u;
constexpr std::uint32_t BS_GROUPBOX = 0x0007u;
constexpr std::uint32_t BS_CENTER = 0x0300u;
constexpr std::uint32_t SS_LEFT = 0x0000u;
constexpr std::uint32_t SS_CENTER = 0x0001u;
constexpr std::uint32_t CBS_DROPDOWN = 0x0002u;
constexpr std::uint32_t ES_CENTER = 0x0001u;
constexpr std::uint32_t ES_RIGHT = 0x0002u;
constexpr std::uint32_t ES_MULTILINE = 0x0004u;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080u;
constexpr std::uint32_t ES_READONLY = 0x0800u;
constexpr std::uint32_t TBS_HORZ = 0x0000u;
constexpr std::uint32_t TBS_VERT = 0x0002u;
constexpr std::uint32_t TBS_BOTH = 0x0008u;
constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200u;
} // namespace style

// The window class an item is created from.
enum class ItemKind { GroupBox, Static, ComboBox, Edit, Trackbar, CheckBox, PushButton };

// Identifier of items nobody addresses (the section frames).
constexpr int kNoId = -1;

struct DialogItem {
    int id;                 // control identifier, kNoId for the frames
    ItemKind kind;
    std::uint32_t style;    // window style including WS_CHILD | WS_VISIBLE
    std::uint32_t exStyle;  // extended style
    int x, y, cx, cy;       // dialog units
    const char* text;       // text stored in the template ("" when none)
    bool disabled;          // the same as (style & WS_DISABLED)
};

struct DialogTemplate {
    int id;
    std::uint32_t style;
    int cx, cy;             // dialog units
    const char* fontName;
    int fontPoints;
    std::span<const DialogItem> items;
};

struct PixelRect {
    int x, y, width, height;
};

// The panel's template (id 101, 80 items).
const DialogTemplate& PanelTemplate();

// The item with this identifier, or nullptr.
const DialogItem* FindItem(const DialogTemplate& dlg, int id);

// MS Sans Serif 8 pt base units at 96 dpi: x px = round(dlu*6/4), y px = round(dlu*13/8).
int DluToPixelsX(int dlu);
int DluToPixelsY(int dlu);
PixelRect ItemRectPixels(const DialogItem& item);
// The same at a zoom factor (1.0 = the sizes above, 2.0 = twice as large), each rounded to
// the nearest pixel from the exact zoomed size.
int DluToPixelsX(int dlu, double zoom);
int DluToPixelsY(int dlu, double zoom);
PixelRect ItemRectPixels(const DialogItem& item, double zoom);

} // namespace corvane::res
