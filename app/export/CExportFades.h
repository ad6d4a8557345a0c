// Fades at the start and end of an exported file, on the live fades' curve.
#pragma once

#include <cstdint>
#include <vector>

class CExportFades {
public:
    // A file of `totalFrames` frames of `channels` samples, fading in over its first
    // `fadeInFrames` and out over its last `fadeOutFrames` (0: no fade at that end).
    CExportFades(std::int64_t totalFrames, std::int64_t fadeInFrames, std::int64_t fadeOutFrames, int channels);

    bool IsActive() const { return m_llFadeIn > 0 || m_llFadeOut > 0; }

    // The next `frames` frames of the file, faded; the result stays valid until the next call.
    // The first frame of a fade-in and the last of a fade-out are exactly silent.
    const std::int16_t* Apply(const std::int16_t* samples, std::int64_t frames);

private:
    double GainAt(std::int64_t frame) const;

    std::int64_t m_llTotal;
    std::int64_t m_llFadeIn;
    std::int64_t m_llFadeOut;
    int m_nChannels;
    std::int64_t m_llDone = 0;
    std::vector<std::int16_t> m_faded;
};
