// Maps Windows system colour indexes onto palette roles.
#include "controls/SystemColors.h"

#include "controls/ColorRef.h"

#include <QPalette>

namespace corvane::controls {

COLORREF GetSysColor(const QPalette& palette, SysColor index)
{
    QPalette::ColorRole role = QPalette::Window;
    switch (index) {
    case COLOR_WINDOWTEXT: role = QPalette::WindowText; break;
    case COLOR_BTNFACE: role = QPalette::Window; break;
    case COLOR_BTNSHADOW: role = QPalette::Dark; break;
    case COLOR_BTNHIGHLIGHT: role = QPalette::Light; break;
    case COLOR_3DDKSHADOW: role = QPalette::Shadow; break;
    case COLOR_3DLIGHT: role = QPalette::Midlight; break;
    }
    return ToColorRef(palette.color(QPalette::Active, role));
}

} // namespace corvane::controls
