// Six-stage all-pass phaser.
#include "engine/CPhaser.h"

#include <cmath>

namespace {
constexpr float kTwoOverRate = 0.000045351473f; // 2 / 44100
constexpr float kOneOverRate = 0.000022675737f; // 1 / 44100
constexpr float kTwoPi = 6.2831855f;
} // namespace

CPhaser::CPhaser()
{
    SetRange(440.0f, 1600.0f);
    SetRate(0.5f);
}

void CPhaser::SetRange(float minHz, float maxHz)
{
    m_fMinDelay = minHz * kTwoOverRate;
    m_fMaxDelay = maxHz * kTwoOverRate;
}

void CPhaser::SetRate(float hz)
{
    m_fSweepStep = hz * kOneOverRate * kTwoPi;
}

float CPhaser::Process(float x)
{
    const float d = m_fMinDelay + (std::sin(m_fSweepPhase) + 1.0f) * 0.5f * (m_fMaxDelay - m_fMinDelay);
    m_fSweepPhase += m_fSweepStep;
    if (m_fSweepPhase >= kTwoPi)
        m_fSweepPhase -= kTwoPi;

    const float a1 = (1.0f - d) / (1.0f + d);
    float y = x + m_fFeedback * m_fLastOut;
    for (int i = kStages - 1; i >= 0; --i) {
        Stage& stage = m_stages[i];
        stage.a1 = a1;
        const float out = stage.zm - y * a1;
        stage.zm = out * a1 + y;
        y = out;
    }
    m_fLastOut = y;
    return x + m_fDepth * y;
}
