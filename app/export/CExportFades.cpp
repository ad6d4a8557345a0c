// Fades at the start and end of an exported file.
#include "app/export/CExportFades.h"

#include "platform/MasterFade.h"

#include <cmath>

CExportFades::CExportFades(std::int64_t totalFrames, std::int64_t fadeInFrames, std::int64_t fadeOutFrames,
                           int channels)
    : m_llTotal(totalFrames), m_llFadeIn(fadeInFrames), m_llFadeOut(fadeOutFrames), m_nChannels(channels)
{
}

double CExportFades::GainAt(std::int64_t frame) const
{
    using corvane::platform::MasterFade;
    double gain = 1.0;
    if (frame < m_llFadeIn)
        gain *= MasterFade::Gain(static_cast<double>(frame) / static_cast<double>(m_llFadeIn));
    const std::int64_t left = m_llTotal - 1 - frame; // frames after this one
    if (left < m_llFadeOut)
        gain *= MasterFade::Gain(static_cast<double>(left) / static_cast<double>(m_llFadeOut));
    return gain;
}

const std::int16_t* CExportFades::Apply(const std::int16_t* samples, std::int64_t frames)
{
    const std::int64_t first = m_llDone;
    m_llDone += frames;
    // Chunks wholly between the two fades pass as they are.
    if (first >= m_llFadeIn && m_llDone <= m_llTotal - m_llFadeOut)
        return samples;
    m_faded.assign(samples, samples + frames * m_nChannels);
    for (std::int64_t f = 0; f < frames; ++f) {
        const double gain = GainAt(first + f);
        if (gain == 1.0)
            continue;
        for (int c = 0; c < m_nChannels; ++c) {
            std::int16_t& s = m_faded[static_cast<std::size_t>(f * m_nChannels + c)];
            s = static_cast<std::int16_t>(std::lrint(s * gain));
        }
    }
    return m_faded.data();
}
