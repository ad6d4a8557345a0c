// Band-limited conversion of one voice's sound to the output rate (libsoxr, variable-rate mode).
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <vector>

struct soxr;

namespace corvane::platform {

struct MixerVoice;

class VoiceResampler {
public:
    // Most output frames one Render call makes.
    static constexpr DWORD kMaxFrames = 256;

    // Allocates everything it will need; channels 1 or 2.
    explicit VoiceResampler(unsigned channels);
    ~VoiceResampler();
    VoiceResampler(const VoiceResampler&) = delete;
    VoiceResampler& operator=(const VoiceResampler&) = delete;

    bool Valid() const { return m_soxr != nullptr; }

    // Forgets all history so that Prime can start afresh. Allocates inside the library: call it
    // off the output thread where possible (the mixer calls it when a voice restarts).
    void Clear();
    bool IsClear() const { return m_bClear; }

    // Starts converting `voice` at source frame `from` with `ratio` source frames per output
    // frame (0 < ratio <= 12.5): the frames just before `from` fill the filter first, so the
    // first output frame is already at `from` (within half an output frame).
    void Prime(const MixerVoice& voice, DWORD from, double ratio);

    // Writes `frames` (<= kMaxFrames) output frames, `channels` floats each, into `out`, gliding
    // from the previous ratio to `ratio` over the block so that pitch changes don't click.
    // Source reads wrap around for a looping voice and are silent past the end of a one-shot.
    void Render(const MixerVoice& voice, float* out, DWORD frames, double ratio);

    double Ratio() const { return m_ratio; }


private:
    static std::size_t Feed(void* self, const void** data, std::size_t frames);
    std::size_t FeedFrom(std::size_t frames);

    soxr* m_soxr = nullptr;
    unsigned m_nChannels;
    double m_ratio = 1.0;
    bool m_bClear = true;
    // The voice being read during Prime/Render, and the next source frame to hand over
    // (negative before the start: silence, or the loop's end for a looping voice).
    const MixerVoice* m_pVoice = nullptr;
    std::int64_t m_nFeed = 0;
    std::vector<float> m_input; // converted source frames handed to the library
    std::vector<float> m_discard;
};

} // namespace corvane::platform
