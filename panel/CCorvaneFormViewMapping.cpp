// Parameter mapping: slider handlers, the six parameter setters, the info line and the lists.
#include "panel/CCorvaneFormView.h"

#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "controls/COrbRotaryKnob.h"
#include "controls/CSegmentDisplay.h"
#include "panel/ParameterMapping.h"
#include "platform/kernel.h"

#include <QComboBox>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QSlider>

using namespace corvane::panel;

namespace {

void DebugLine(const std::string& line)
{
    OutputDebugStringA(line.c_str());
}

} // namespace

void CCorvaneFormView::OnSliderMoved(QAbstractSlider* pScrollBar)
{
    if (!pScrollBar)
        return;
    const int p = pScrollBar->value();
    if (pScrollBar == m_sliderFilterFreq) {
        ApplyFilterFrequency(UnitFromTopSlider(p), kShowValue);
    } else if (pScrollBar == m_sliderFilterQ) {
        ApplyFilterQ(UnitFromTopSlider(p), kShowValue);
    } else if (pScrollBar == m_sliderHold) {
        ApplyHold(UnitFromTopSlider(p), kShowValue);
    } else if (pScrollBar == m_sliderSmooth) {
        ApplySmooth(SmoothFromSlider(p), kShowValue);
    } else if (pScrollBar == m_sliderPitch) {
        ApplyPitch(BipolarFromSlider(p), kShowValue);
    } else if (pScrollBar == m_sliderVolume) {
        const float v = VolumeFromSlider(p);
        char line[128];
        std::snprintf(line, sizeof line, "Slider: %d | fAmount: %0.3f\r\n", -p, static_cast<double>(v));
        DebugLine(line);
        ApplyVolume(v, kShowValue);
    } else if (pScrollBar == m_sliderPan) {
        ApplyPan(BipolarFromSlider(p), kShowValue);
    } else if (pScrollBar == m_sliderLfo1Freq || pScrollBar == m_sliderLfo2Freq
               || pScrollBar == m_sliderLfo3Freq) {
        const int k = pScrollBar == m_sliderLfo1Freq ? 0 : pScrollBar == m_sliderLfo2Freq ? 1 : 2;
        static const char* const kNames[] = {"LFO 1 - Frequency", "LFO 2 - Frequency", "LFO 3 - Frequency"};
        CSegmentDisplay* displays[] = {m_dispLfo1Freq, m_dispLfo2Freq, m_dispLfo3Freq};
        const float f = LfoFrequencyFromSlider(p);
        m_lfo[static_cast<std::size_t>(k)].SetFrequency(f);
        ShowInfo(kNames[k], FormatValue("%0.3f", f).c_str(), "Hz");
        ShowDisplayValue(*displays[k], f);
    } else if (const char* name = KnobInfoName(qobject_cast<const COrbRotaryKnob*>(pScrollBar))) {
        ShowInfo(name, FormatValue("%0.3f", KnobDepth(p)).c_str(), "");
    }
}

void CCorvaneFormView::ApplyHold(float v, BYTE flags)
{
    const int n = HoldFromValue(v);
    m_noiseGenerator.SetHold(n);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispHold, static_cast<float>(n));
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderHold, HoldSliderPosition(n));
    ShowInfo("Hold", FormatInt("%d", n).c_str(), "");
    char line[128];
    std::snprintf(line, sizeof line, "Hold: %0.3f %d\r\n", static_cast<double>(v), n);
    DebugLine(line);
}

void CCorvaneFormView::ApplySmooth(float v, BYTE flags)
{
    // A route can drive the amount past either end; the glide only has meaning within 0..1.
    v = v > 1.0f ? 1.0f : (v > 0.0f ? v : 0.0f);
    m_noiseGenerator.SetSmooth(v);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispSmooth, v);
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderSmooth, TopSliderPosition(v));
    ShowInfo("Smooth", FormatValue("%0.3f", v).c_str(), "");
}

void CCorvaneFormView::ApplyFilterFrequency(float v, BYTE flags)
{
    const float x = CutoffFromValue(v);
    m_pFilter->SetFrequency(x);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispFilterFreq, x);
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderFilterFreq, TopSliderPosition(v));
    ShowInfo("Filter Freq", FormatValue("%0.3f", x).c_str(), "");
}

void CCorvaneFormView::ApplyFilterQ(float v, BYTE flags)
{
    m_pFilter->SetQ(v);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispFilterQ, v);
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderFilterQ, TopSliderPosition(v));
    ShowInfo("Filter Q", FormatValue("%0.3f", v).c_str(), "");
    char line[128];
    std::snprintf(line, sizeof line, "Filter Q: %0.3f \r\n", static_cast<double>(v));
    DebugLine(line);
}

void CCorvaneFormView::ApplyVolume(float v, BYTE flags)
{
    const int n = VolumeHundredthsFromValue(v);
    const float x = VolumeShownFromValue(v);
    CSoundStream* stream = GetStream();
    if (!stream)
        return;
    stream->SetVolume(n);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispVolume, x);
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderVolume, VolumeSliderPosition(n));
    ShowInfo("Volume", FormatValue("%0.3f", x).c_str(), "");
}

void CCorvaneFormView::ApplyPan(float v, BYTE flags)
{
    CSoundStream* stream = GetStream();
    if (!stream)
        return;
    stream->SetPan(v);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispPan, v);
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderPan, BipolarSliderPosition(v));
    ShowInfo("Pan", FormatValue("%0.3f", v).c_str(), "");
}

void CCorvaneFormView::ApplyPitch(float v, BYTE flags)
{
    const float ratio = PitchRatio(v, m_nPitchRange);
    CSoundStream* stream = GetStream();
    if (!stream)
        return;
    stream->SetFrequency(ratio);
    if (flags & kShowValue)
        ShowDisplayValue(*m_dispPitch, ratio);
    if (flags & kMoveSlider)
        MoveSlider(*m_sliderPitch, BipolarSliderPosition(v));
    ShowInfo("Pitch", FormatValue("%0.3f", ratio).c_str(), "");
}

void CCorvaneFormView::ShowInfo(const char* name, const char* value, const char* unit)
{
    if (!name || !value)
        return;
    m_strInfo = InfoLine(name, value, unit);
    // The edit shows the line break; the stored text keeps CR LF as written.
    QString shown = QString::fromLatin1(m_strInfo.c_str());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_editInfo->setPlainText(shown);
    QTextCursor all(m_editInfo->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
}

void CCorvaneFormView::OnSelchangeGenType()
{
    const int i = m_cbGenType->currentIndex();
    if (i != -1)
        m_noiseGenerator.SetType(i);
}

void CCorvaneFormView::OnSelchangeFilterType()
{
    const int i = m_cbFilterType->currentIndex();
    if (i == 0) {
        m_pFilter = &m_classicFilter;
        m_pFilter->SetType(0);
    } else if (i >= 1 && i <= 4) {
        m_pFilter = &m_svFilter;
        m_pFilter->SetType(i - 1);
    }
}

void CCorvaneFormView::OnSelchangeInput()
{
    const int i = m_cbInput->currentIndex();
    if (i != -1)
        m_nInput = i;
}

void CCorvaneFormView::OnSelchangeLfo1Shape()
{
    // No selection reads as -1, far beyond the table list, which the LFO ignores.
    m_lfo[0].Select(static_cast<unsigned>(m_cbLfo1Shape->currentIndex()));
}

void CCorvaneFormView::OnSelchangeLfo2Shape()
{
    m_lfo[1].Select(static_cast<unsigned>(m_cbLfo2Shape->currentIndex()));
}

void CCorvaneFormView::OnSelchangeLfo3Shape()
{
    m_lfo[2].Select(static_cast<unsigned>(m_cbLfo3Shape->currentIndex()));
}
