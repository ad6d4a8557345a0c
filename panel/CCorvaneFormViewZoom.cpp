// Panel zoom: the controls placed again from the dialog template at a larger size, fonts and
// owner-drawn pictures included.
#include "panel/CCorvaneFormView.h"

#include "controls/COrbRotaryKnob.h"
#include "controls/CSegmentDisplay.h"
#include "controls/CSpectrumView.h"
#include "controls/CTextLabel.h"
#include "res/DialogTemplate.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kMinZoomPercent = 50;
constexpr int kMaxZoomPercent = 400;
// Combo boxes need room for their text whatever the template says.
constexpr int kMinComboHeight = 22;
} // namespace

bool CCorvaneFormView::SetZoom(int percent)
{
    if (percent < kMinZoomPercent || percent > kMaxZoomPercent)
        return false;
    if (percent == m_nZoomPercent)
        return true;
    m_nZoomPercent = percent;
    LayOutControls();
    return true;
}

void CCorvaneFormView::LayOutControls()
{
    const corvane::res::DialogTemplate& dlg = corvane::res::PanelTemplate();
    const double zoom = m_nZoomPercent / 100.0;

    QFont font(QString::fromLatin1(dlg.fontName));
    font.setPointSizeF(dlg.fontPoints * zoom);
    m_pPanel->setFont(font);
    if (m_pSpectrum)
        m_pSpectrum->SetZoom(zoom);
    m_pPanel->setFixedSize(corvane::res::DluToPixelsX(dlg.cx, zoom), corvane::res::DluToPixelsY(dlg.cy, zoom));

    for (QWidget* widget : m_pPanel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bool ok = false;
        const int index = widget->property(kTemplateIndexProperty).toInt(&ok);
        if (!ok || index < 0 || static_cast<std::size_t>(index) >= dlg.items.size())
            continue;
        const corvane::res::DialogItem& item = dlg.items[static_cast<std::size_t>(index)];
        const corvane::res::PixelRect r = corvane::res::ItemRectPixels(item, zoom);
        int height = r.height;
        if (item.kind == corvane::res::ItemKind::ComboBox)
            height = std::max(height, static_cast<int>(std::lround(kMinComboHeight * zoom)));
        if (auto* knob = qobject_cast<COrbRotaryKnob*>(widget)) {
            // A knob's resize starts it over at position 0; a zoom must not move it.
            const QSignalBlocker block(knob);
            const int position = knob->value();
            knob->SetZoom(zoom);
            knob->setGeometry(r.x, r.y, r.width, height);
            knob->UpdateRegion();
            knob->setValue(position);
            continue;
        }
        if (auto* display = qobject_cast<CSegmentDisplay*>(widget))
            display->SetZoom(zoom);
        else if (auto* label = qobject_cast<CTextLabel*>(widget))
            label->SetZoom(zoom);
        widget->setGeometry(r.x, r.y, r.width, height);
    }
}
