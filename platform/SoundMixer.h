// Sums the playing sound buffers into the output format; shared by the GUI and output threads.
#pragma once

#include "platform/MasterFade.h"
#include "platform/VoiceResampler.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace corvane::platform {

// One secondary buffer's sound and play state. Every field is guarded by SoundMixer::Mutex().
struct MixerVoice {
    std::vector<std::int16_t> samples; // frames * channels, interleaved
    DWORD frames = 0;
    WORD channels = 1;
    double position = 0.0; // play cursor in frames; equals `frames` once a one-shot play ended
    DWORD frequency = 44100; // Hz, DSBFREQUENCY_MIN..DSBFREQUENCY_MAX
    LONG volume = 0; // hundredths of a dB, -10000..0
    LONG pan = 0; // -10000 (right silent) .. 10000 (left silent)
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    bool playing = false;
    bool looping = false;
    // Converts the voice to the output rate unless it plays at exactly that rate. Made with the
    // voice (it allocates); a voice without one only plays at the output rate.
    std::unique_ptr<VoiceResampler> resampler;
    bool resampling = false; // the resampler's output is what is heard
    bool restart = true; // the cursor jumped (or play began): no fade from the previous path
    // `position` above is the play cursor: what is `heard` plus a `lead` as long as the
    // resampler may read ahead of it (it keeps the lead after handing back to the direct path,
    // so that it never steps back).
    double heard = 0.0;
    double lead = 0.0;
    double direct = 0.0; // the direct path's read position (frames)
    std::uint64_t leadGrownIn = 0; // the mixer call in which `lead` last grew
    // While > 0 the path that was left still sounds, fading out over this many more frames.
    DWORD fadeFrames = 0;
};

class SoundMixer {
public:
    SoundMixer(DWORD rate, WORD channels);
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // The one lock of the mixer: cursors, buffer memory and the output format. It is held only
    // for copies and one mix period, never across a call into the sound system.
    std::mutex& Mutex() { return m_mutex; }

    // Voices are added on creation and removed before they are freed.
    void Add(MixerVoice* voice);
    void Remove(MixerVoice* voice);

    void SetOutputFormat(DWORD rate, WORD channels);
    DWORD OutputRate();
    WORD OutputChannels();

    // Heads the master gain for unity or silence at the pace of a whole fade of `seconds`
    // (pause, sleep timer); a fade under way turns round where it is. 0 s jumps.
    void FadeMaster(bool unity, double seconds);
    // Master gain curve position: 0 silent .. 1 unity.
    double MasterFadePosition();

    // Mixes `frames` output frames into `out` and advances the playing voices' cursors.
    void Mix(std::int16_t* out, DWORD frames);

    // Recomputes a voice's channel gains from its volume and pan (call with the lock held).
    static void UpdateGains(MixerVoice& voice);

    // Starts a voice afresh from its cursor (play began, or the cursor was set; lock held). At
    // a rate other than the output's the resampler is filled here, on the caller's thread, and
    // the cursor shows at once how far ahead of what is heard it reads.
    void Restart(MixerVoice& voice);
    // Readies the voice's resampler for its rate off the output thread (it may allocate; lock
    // held): after a rate change, and from the calls a streaming writer makes anyway.
    void Prepare(MixerVoice& voice);

private:
    static constexpr DWORD kChunkFrames = 256;
    void MixChunk(std::int16_t* out, DWORD frames); // lock held
    // A voice played at the output rate from a whole-frame cursor (lock held).
    void MixUnitStep(MixerVoice& v, DWORD frames);
    // A voice through its resampler, and while switching between it and the direct path.
    void MixResampled(MixerVoice& v, DWORD frames, double ratio);
    // Source frames from a whole-frame cursor into m_direct, silence past a one-shot's end.
    void ReadDirect(const MixerVoice& v, double& pos, DWORD frames);
    // Stores the cursor reached by a chunk: a one-shot that got to its end stops there, a
    // loop wraps around (lock held).
    static void EndChunk(MixerVoice& v, double pos);

    std::mutex m_mutex;
    std::vector<MixerVoice*> m_voices;
    DWORD m_nRate;
    WORD m_nChannels;
    std::uint64_t m_nMixCalls = 0;
    float m_acc[kChunkFrames * 2] = {};
    MasterFade m_fade; // applied to the sum, after every voice
    float m_converted[kChunkFrames * 2] = {}; // one voice's resampler output
    float m_direct[kChunkFrames * 2] = {};    // one voice's frames read directly
    static_assert(kChunkFrames <= VoiceResampler::kMaxFrames);
};

} // namespace corvane::platform
