// Plays the mixer's output on the default sound device through RtAudio's callback thread.
#pragma once

#include "platform/SoundMixer.h"

#include <atomic>
#include <chrono>
#include <memory>

class RtAudio;

namespace corvane::platform {

class RtAudioOutput {
public:
    explicit RtAudioOutput(std::shared_ptr<SoundMixer> mixer);
    ~RtAudioOutput();
    RtAudioOutput(const RtAudioOutput&) = delete;
    RtAudioOutput& operator=(const RtAudioOutput&) = delete;

    // Opens and starts the default output device at the mixer's output format, trying the
    // compiled sound systems in RtAudio's order. False when no device could be opened.
    bool Open();
    void Close();
    bool IsLost() const { return m_bLost.load(); }

private:
    static int Callback(void* output, void* input, unsigned int frames, double streamTime,
                        unsigned int status, void* user);
    int Fill(std::int16_t* out, unsigned int frames);

    std::shared_ptr<SoundMixer> m_mixer;
    std::unique_ptr<RtAudio> m_audio;
    DWORD m_nRate = 0;
    std::atomic<bool> m_bLost{false};
    // Written by the callback thread only (reset by Open before the stream starts).
    std::chrono::steady_clock::time_point m_started;
    std::uint64_t m_nFramesPlayed = 0;
};

} // namespace corvane::platform
