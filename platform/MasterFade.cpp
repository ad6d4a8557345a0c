// The master fade gain of the output.
#include "platform/MasterFade.h"

#include <cmath>
#include <numbers>

namespace corvane::platform {

float MasterFade::Gain(double x)
{
    if (!(x > 0.0))
        return 0.0f;
    if (x >= 1.0)
        return 1.0f;
    return static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * x));
}

void MasterFade::SetRate(double rate)
{
    if (rate <= 0.0)
        return;
    m_dRate = rate;
    if (m_dStep != 0.0)
        m_dStep = std::copysign(1.0 / (m_dSeconds * m_dRate), m_dStep);
}

void MasterFade::FadeTo(bool unity, double seconds)
{
    const double target = unity ? 1.0 : 0.0;
    if (!(seconds > 0.0) || m_dPosition == target) {
        m_dPosition = target;
        m_dStep = 0.0;
        return;
    }
    m_dSeconds = seconds;
    m_dStep = (unity ? 1.0 : -1.0) / (seconds * m_dRate);
}

void MasterFade::Process(float* samples, unsigned frames, unsigned channels)
{
    if (m_dStep == 0.0) {
        if (m_dPosition >= 1.0)
            return;
        for (unsigned i = 0; i < frames * channels; ++i)
            samples[i] = 0.0f;
        return;
    }
    for (unsigned f = 0; f < frames; ++f) {
        const float gain = Gain(m_dPosition);
        for (unsigned c = 0; c < channels; ++c)
            samples[f * channels + c] *= gain;
        if (m_dStep != 0.0) {
            m_dPosition += m_dStep;
            // The ends are reached exactly and held.
            if (m_dPosition <= 0.0 || m_dPosition >= 1.0) {
                m_dPosition = m_dPosition <= 0.0 ? 0.0 : 1.0;
                m_dStep = 0.0;
            }
        }
    }
}

} // namespace corvane::platform
