// Six-stage all-pass phaser with feedback and a slow sine sweep; colours the "Phased White" noise.
#pragma once

class CPhaser {
public:
    static constexpr int kStages = 6;

    CPhaser();
    virtual ~CPhaser() = default;

    // Sweep limits in Hz (0..22050, minHz <= maxHz).
    void SetRange(float minHz, float maxHz);
    // Sweep rate in Hz (cycles per second of the sweep, counted in processed samples).
    void SetRate(float hz);
    // Filters one sample and advances the sweep by one step.
    float Process(float x);

    float GetMinDelay() const { return m_fMinDelay; }
    float GetMaxDelay() const { return m_fMaxDelay; }
    float GetSweepPhase() const { return m_fSweepPhase; }
    float GetSweepStep() const { return m_fSweepStep; }

private:
    struct Stage {
        float a1 = 0.0f;
        float zm = 0.0f;
    };

    Stage m_stages[kStages];
    float m_fMinDelay = 0.0f;
    float m_fMaxDelay = 0.0f;
    float m_fFeedback = 0.7f;
    float m_fSweepPhase = 0.0f;
    float m_fSweepStep = 0.0f;
    float m_fDepth = 1.0f;
    float m_fLastOut = 0.0f;
};
