// Text alignment and line-break rules of the label, as drawText flags.
#include "controls/LabelTextLayout.h"

#include "controls/StaticStyles.h"

namespace corvane::controls {

LabelTextLayout LabelTextLayoutFor(DWORD style, const QString& text)
{
    int flags = Qt::TextShowMnemonic | Qt::AlignTop;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: flags |= Qt::AlignHCenter | Qt::TextWordWrap; break;
    case SS_RIGHT: flags |= Qt::AlignRight | Qt::TextWordWrap; break;
    case SS_LEFTNOWORDWRAP: flags |= Qt::AlignLeft; break;
    default: flags |= Qt::AlignLeft | Qt::TextWordWrap; break;
    }
    QString shown = text;
    bool singleLine = false;
    if (style & SS_CENTERIMAGE) {
        flags &= ~(Qt::AlignLeft | Qt::AlignRight | Qt::TextWordWrap);
        flags |= Qt::AlignHCenter;
        if (!text.contains(QStringLiteral("\r\n"))) {
            flags &= ~Qt::AlignTop;
            flags |= Qt::AlignVCenter;
            singleLine = true;
        }
    }
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (singleLine)
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return {flags, shown};
}

} // namespace corvane::controls
