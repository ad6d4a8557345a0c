// Band-limited conversion of one voice's sound to the output rate (libsoxr): a fixed-ratio
// engine while the pitch holds still, the variable-rate one while it moves.
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
    // Frames over which one engine hands over to the other.
    static constexpr DWORD kHandOverFrames = 128;
    // Output frames at one ratio before the fixed-ratio engine takes over (about 20 ms).
    static constexpr DWORD kSteadyFrames = 1024;
    // Widest ratio the fixed-ratio engine serves: beyond it the engine reads further ahead
    // than a streaming writer's segment allows.
    static constexpr double kMaxFixedRatio = 1.5;

    // Allocates the variable-rate engine; channels 1 or 2.
    explicit VoiceResampler(unsigned channels);
    ~VoiceResampler();
    VoiceResampler(const VoiceResampler&) = delete;
    VoiceResampler& operator=(const VoiceResampler&) = delete;

    bool Valid() const { return m_variable.handle != nullptr; }

    // How far ahead of what is heard either engine may read, in source frames, at `ratio`
    // source frames per output frame.
    static double ReadAhead(double ratio);

    // Forgets all history so that Prime can start afresh. Allocates inside the library: call it
    // off the output thread (the mixer calls it when a voice restarts).
    void Clear();

    // Off the output thread (allocates): has a fresh fixed-ratio engine ready for `ratio` and
    // cleans the engines not in use, so that the output thread never allocates. `inUse`: the
    // mixer still hears this resampler.
    void Prepare(double ratio, bool inUse);
    // The ratio has not moved for a while: a Prepare now is unlikely to be wasted.
    bool Steady() const { return m_nSteady >= kSteadyFrames || !m_pActive; }

    // Starts converting `voice` at source frame `from` with `ratio` source frames per output
    // frame (0 < ratio <= 12.5), on the fixed-ratio engine if one is ready for `ratio`: the
    // frames just before `from` fill the filter first, so the first output frame is already at
    // `from` (within a small fraction of a frame).
    void Prime(const MixerVoice& voice, DWORD from, double ratio);

    // Writes `frames` (<= kMaxFrames) output frames, `channels` floats each, into `out`, and
    // returns how many source frames they took. A new `ratio` is reached by a glide over the
    // block, on the variable-rate engine (handed over to from the fixed one first, at the old
    // ratio, over the first kHandOverFrames); after kSteadyFrames at one ratio the fixed-ratio
    // engine takes over. Source reads wrap around for a looping voice and are silent past the
    // end of a one-shot.
    double Render(const MixerVoice& voice, float* out, DWORD frames, double ratio);

    // The ratio the last output frame was made at.
    double Ratio() const { return m_ratio; }
    // The fixed-ratio engine makes what is heard (for tests and benchmarks).
    bool OnFixedRatio() const { return m_pActive && m_pActive != &m_variable; }

private:
    struct Engine {
        soxr* handle = nullptr;
        double ratio = 0.0; // a fixed-ratio engine's only ratio
        bool clear = true;
        VoiceResampler* owner = nullptr;
        // The next source frame to hand over (negative before the start: silence, or the
        // loop's end for a looping voice).
        std::int64_t feed = 0;
    };
    static std::size_t Feed(void* engine, const void** data, std::size_t frames);
    void FeedFrom(Engine& e, std::size_t frames);
    void ClearEngine(Engine& e);
    // Starts `e` so that its next output frame is at source position `pos`.
    void Start(Engine& e, double pos, double ratio);
    void Pull(Engine& e, float* out, DWORD frames);
    Engine* FixedFor(double ratio);

    unsigned m_nChannels;
    Engine m_variable;
    Engine m_fixed[2]; // the one in use and a spare prepared for the next ratio
    Engine* m_pActive = nullptr; // makes what is heard
    Engine* m_pLeaving = nullptr; // fades out over m_nFade more frames
    DWORD m_nFade = 0;
    double m_ratio = 1.0;
    DWORD m_nSteady = 0; // output frames made at m_ratio
    double m_pos = 0.0;  // source position of the next output frame (unwrapped)
    const MixerVoice* m_pVoice = nullptr; // the voice being read during Prime/Render
    std::vector<float> m_input; // converted source frames handed to the library
    std::vector<float> m_leaving; // the leaving engine's output
};

} // namespace corvane::platform
