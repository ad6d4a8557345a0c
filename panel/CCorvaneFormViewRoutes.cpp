// Modulation routes (knob depth and paired source list), channel buttons and Sound commands.
#include "panel/CCorvaneFormView.h"

#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "controls/COrbRotaryKnob.h"
#include "panel/ParameterMapping.h"

#include <QCheckBox>
#include <QComboBox>

using namespace corvane::panel;

void CCorvaneFormView::BindRoutes()
{
    // The order in which a scrolled knob is recognised.
    m_routes = {{
        {m_knobFreqMod, m_cbFreqModSource, "Modulation - FilterFrequency"},
        {m_knobQMod, m_cbQModSource, "Modulation - FilterQuality"},
        {m_knobVolumeMod, m_cbVolumeModSource, "Modulation - Volume"},
        {m_knobPanMod, m_cbPanModSource, "Modulation - Pan"},
        {m_knobPitchMod, m_cbPitchModSource, "Modulation - Pitch"},
        {m_knobHoldMod, m_cbHoldModSource, "Modulation - Noise S&H"},
        {m_knobSmoothMod, m_cbSmoothModSource, "Modulation - Noise Smooth"},
    }};
}

const CCorvaneFormView::Route* CCorvaneFormView::RouteOf(const COrbRotaryKnob* pKnob) const
{
    if (!pKnob)
        return nullptr;
    for (const Route& route : m_routes)
        if (route.knob == pKnob)
            return &route;
    return nullptr;
}

QComboBox* CCorvaneFormView::SourceListOf(const COrbRotaryKnob* pKnob) const
{
    const Route* route = RouteOf(pKnob);
    return route ? route->sourceList : nullptr;
}

const char* CCorvaneFormView::KnobInfoName(const COrbRotaryKnob* pKnob) const
{
    const Route* route = RouteOf(pKnob);
    return route ? route->infoName : nullptr;
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

void CCorvaneFormView::FadeOutput(bool unity, double seconds)
{
    if (m_pSoundDevice && m_pSoundDevice->GetDirectSound())
        corvane::platform::FadeMasterGain(m_pSoundDevice->GetDirectSound(), unity, seconds);
}
