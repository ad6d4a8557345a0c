// The few Windows system colours the controls paint with, taken from the widget's Qt palette.
#pragma once

#include "platform/wintypes.h"

class QPalette;

namespace corvane::controls {

// Win32 indexes, so that painting code can name the colour it was designed with.
enum SysColor {
    COLOR_WINDOWTEXT = 8,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
};

// Button face is the dialog background (QPalette::Window) so that controls blend with the
// panel; the four 3-D edge colours map to Light, Midlight, Dark and Shadow.
COLORREF GetSysColor(const QPalette& palette, SysColor index);

} // namespace corvane::controls
