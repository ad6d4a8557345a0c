// Conversions between the Windows-style COLORREF (0x00BBGGRR) the controls store and QColor.
#pragma once

#include "platform/wintypes.h"

#include <QColor>

namespace corvane::controls {

inline QColor ToQColor(COLORREF cr)
{
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

inline COLORREF ToColorRef(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

} // namespace corvane::controls
