// Pure mapping from a static's style bits and text to how the label draws the text.
#pragma once

#include "platform/wintypes.h"

#include <QString>

namespace corvane::controls {

struct LabelTextLayout {
    int flags;    // Qt::AlignmentFlag | Qt::TextFlag combination for QPainter::drawText
    QString text; // the text with its line breaks as drawText expects them
};

// Centre, right and no-wrap alignment from the low style bits; SS_CENTERIMAGE centres a
// one-line text both ways and a text with "\r\n" horizontally only, breaking lines only at
// its line breaks. "&&" shows an ampersand, "&x" underlines x.
LabelTextLayout LabelTextLayoutFor(DWORD style, const QString& text);

} // namespace corvane::controls
