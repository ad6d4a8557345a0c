// Sums the playing sound buffers into the output format; shared by the GUI and output threads.
#pragma once

#include "platform/MasterFade.h"
#include "platform/wintypes.h"

#include <cstdint>
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

private:
    static constexpr DWORD kChunkFrames = 256;
    void MixChunk(std::int16_t* out, DWORD frames); // lock held
    // A voice played at the output rate from a whole-frame cursor (lock held).
    void MixUnitStep(MixerVoice& v, DWORD frames);
    // Stores the cursor reached by a chunk: a one-shot that got to its end stops there, a
    // loop wraps around (lock held).
    static void EndChunk(MixerVoice& v, double pos);

    std::mutex m_mutex;
    std::vector<MixerVoice*> m_voices;
    DWORD m_nRate;
    WORD m_nChannels;
    float m_acc[kChunkFrames * 2] = {};
    MasterFade m_fade; // applied to the sum, after every voice
};

} // namespace corvane::platform
