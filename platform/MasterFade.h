// The master fade gain of the output: moves between silence and unity along a raised cosine.
#pragma once

#include <cstdint>

namespace corvane::platform {

class MasterFade {
public:
    // Gain at curve position x (0..1, clamped): exactly 0 at 0, exactly 1 at 1, and
    // (1 - cos(pi x)) / 2 between. The slope is 0 at both ends, so neither end clicks.
    static float Gain(double x);

    // Output rate in Hz (> 0). A fade under way keeps its length in seconds.
    void SetRate(double rate);
    // Heads for unity (true) or silence (false) at the pace of a whole fade lasting `seconds`;
    // a fade under way turns round from the gain it has reached. `seconds` <= 0 jumps there.
    void FadeTo(bool unity, double seconds);

    // Applies the gain to `frames` interleaved frames of `channels` samples and moves on. At
    // rest at unity the samples are left untouched.
    void Process(float* samples, unsigned frames, unsigned channels);

    // Curve position 0..1, and whether the fade is at rest there.
    double Position() const { return m_dPosition; }
    bool IsAtRest() const { return m_dStep == 0.0; }

private:
    double m_dRate = 44100.0;
    double m_dSeconds = 0.0;  // length of a whole fade at the current pace
    double m_dPosition = 1.0; // 0 silence .. 1 unity
    double m_dStep = 0.0;     // signed position change per frame; 0 at rest
};

} // namespace corvane::platform
