// The render cycle: LFOs, noise, block-rate and per-sample routes, filter, 16-bit conversion and
// the hand-over to the stream, once per due tick.
#include "panel/CCorvaneFormView.h"

#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "controls/CReadoutEdit.h"
#include "controls/CSpectrumView.h"
#include "panel/ParameterMapping.h"

#include <QLineEdit>

int CCorvaneFormView::OnEngineTick(std::int64_t* pTime)
{
    RenderBlock(pTime);
    ShowElapsedTime(pTime);
    return 0;
}

void CCorvaneFormView::ShowElapsedTime(std::int64_t* pTime)
{
    if (!pTime)
        return;
    const int ms = static_cast<int>(*pTime / 10000);
    m_editTime->ShowNumber(ms);
}

void CCorvaneFormView::RenderBlock(std::int64_t* pTime)
{
    if (!pTime)
        return;
    // The 32-bit difference stays right across the wrap of the millisecond count.
    const int ms = static_cast<int>(*pTime / 10000);
    if (static_cast<int>(static_cast<unsigned>(ms) - static_cast<unsigned>(m_nLastRenderMs)) < m_nRenderInterval)
        return;
    m_nLastRenderMs = ms;

    CSoundStream* stream = GetStream();
    if (!stream)
        return;

    float* q = m_noiseBlock.GetData();
    const unsigned count = m_noiseBlock.GetLength();
    // An LFO no route listens to only moves its phase on: rendering it would cost a tenth of
    // the cycle for a block nobody reads.
    bool used[4] = {};
    for (const COrbRotaryKnob* knob : {m_knobHoldMod, m_knobSmoothMod, m_knobVolumeMod, m_knobPanMod,
                                       m_knobPitchMod, m_knobFreqMod, m_knobQMod})
        used[GetModulationSource(knob)] = true;
    for (std::size_t k = 0; k < m_lfo.size(); ++k) {
        if (used[k + 1])
            m_lfo[k].Render(m_lfoBlocks[k].GetData(), count);
        else
            m_lfo[k].Advance(count);
    }

    if (m_bStreamAccepted) {
        m_noiseGenerator.Generate(q, count);

        int s = GetModulationSource(m_knobHoldMod);
        if (s != 0) {
            const float* block = SourceBlock(s);
            const float d = GetModulationDepth(m_knobHoldMod);
            m_noiseGenerator.SetHoldModulation(block, count);
            m_noiseGenerator.SetHoldModulationDepth(d);
            ApplyHold(d * block[0], corvane::panel::kShowAndMove);
        } else {
            m_noiseGenerator.SetHoldModulation(nullptr, count);
        }

        if ((s = GetModulationSource(m_knobSmoothMod)) != 0)
            ApplySmooth(GetModulationDepth(m_knobSmoothMod) * SourceBlock(s)[0], corvane::panel::kShowAndMove);
        if ((s = GetModulationSource(m_knobVolumeMod)) != 0)
            ApplyVolume(GetModulationDepth(m_knobVolumeMod) * SourceBlock(s)[0], corvane::panel::kShowAndMove);
        if ((s = GetModulationSource(m_knobPanMod)) != 0)
            ApplyPan(GetModulationDepth(m_knobPanMod) * SourceBlock(s)[0], corvane::panel::kShowAndMove);
        if ((s = GetModulationSource(m_knobPitchMod)) != 0)
            ApplyPitch(GetModulationDepth(m_knobPitchMod) * SourceBlock(s)[0], corvane::panel::kShowAndMove);

        if (m_nInput == 0) {
            float d = GetModulationDepth(m_knobFreqMod);
            m_pFilter->SetFrequencyModulationDepth(d);
            if ((s = GetModulationSource(m_knobFreqMod)) != 0) {
                m_pFilter->SetFrequencyModulation(SourceBlock(s), count);
                ApplyFilterFrequency(SourceBlock(s)[0] * d, corvane::panel::kShowAndMove);
            } else {
                m_pFilter->SetFrequencyModulation(nullptr, count);
            }
            d = GetModulationDepth(m_knobQMod);
            m_pFilter->SetQModulationDepth(d);
            if ((s = GetModulationSource(m_knobQMod)) != 0) {
                m_pFilter->SetQModulation(SourceBlock(s), count);
                ApplyFilterQ(SourceBlock(s)[0] * d, corvane::panel::kShowAndMove);
            } else {
                m_pFilter->SetQModulation(nullptr, count);
            }
            m_pFilter->Process(q, count);
        }

        corvane::panel::ConvertBlock(q, m_pcmBlock.data(), count);
    }

    m_bStreamAccepted = stream->Write(m_pcmBlock.data()) != 0;
    if (m_bStreamAccepted && m_pSpectrum && m_pSpectrum->IsActive())
        FeedSpectrum(*stream);
}
