// Modulation routes (knob depth and paired source list), channel buttons and Sound commands.
#include "panel/CCorvaneFormView.h"

#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "controls/COrbRotaryKnob.h"
#include "panel/ParameterMapping.h"

#include <QCheckBox>
#include <QComboBox>

using namespace corvane::panel;

QComboBox* CCorvaneFormView::SourceListOf(const COrbRotaryKnob* pKnob) const
{
    if (!pKnob)
        return nullptr;
    if (pKnob == m_knobHoldMod)
        return m_cbHoldModSource;
    if (pKnob == m_knobSmoothMod)
        return m_cbSmoothModSource;
    if (pKnob == m_knobFreqMod)
        return m_cbFreqModSource;
    if (pKnob == m_knobQMod)
        return m_cbQModSource;
    if (pKnob == m_knobVolumeMod)
        return m_cbVolumeModSource;
    if (pKnob == m_knobPanMod)
        return m_cbPanModSource;
    if (pKnob == m_knobPitchMod)
        return m_cbPitchModSource;
    return nullptr;
}

const char* CCorvaneFormView::KnobInfoName(const COrbRotaryKnob* pKnob) const
{
    // The order in which a scrolled knob is recognised.
    if (!pKnob)
        return nullptr;
    if (pKnob == m_knobFreqMod)
        return "Modulation - FilterFrequency";
    if (pKnob == m_knobQMod)
        return "Modulation - FilterQuality";
    if (pKnob == m_knobVolumeMod)
        return "Modulation - Volume";
    if (pKnob == m_knobPanMod)
        return "Modulation - Pan";
    if (pKnob == m_knobPitchMod)
        return "Modulation - Pitch";
    if (pKnob == m_knobHoldMod)
        return "Modulation - Noise S&H";
    if (pKnob == m_knobSmoothMod)
        return "Modulation - Noise Smooth";
    return nullptr;
}

float CCorvaneFormView::GetModulationDepth(const COrbRotaryKnob* pKnob) const
{
    return pKnob ? KnobDepth(pKnob->value()) : 0.0f;
}

int CCorvaneFormView::GetModulationSource(const COrbRotaryKnob* pKnob) const
{
    const QComboBox* list = SourceListOf(pKnob);
    if (!list)
        return 0;
    const int source = list->currentIndex();
    return (source >= 1 && source <= 3) ? source : 0;
}

const float* CCorvaneFormView::SourceBlock(int source) const
{
    return (source >= 1 && source <= 3) ? m_lfoBlocks[static_cast<std::size_t>(source - 1)].GetData()
                                        : nullptr;
}

void CCorvaneFormView::OnMute()
{
    m_nMute = m_btnMute->isChecked() ? 1 : 0;
    if (CSoundStream* stream = GetStream())
        stream->SetStopped(m_nMute == 1 ? 1 : 0);
}

void CCorvaneFormView::OnCenter()
{
    ApplyPan(0.0f, kShowAndMove);
}

void CCorvaneFormView::OnPitchReset()
{
    ApplyPitch(0.0f, kShowAndMove);
}

void CCorvaneFormView::OnSoundLoop()
{
    if (CSoundStream* stream = GetStream())
        stream->SetPlayMode(2);
}

void CCorvaneFormView::OnSoundOneShot()
{
    if (CSoundStream* stream = GetStream())
        stream->SetPlayMode(1);
}
