// One output stream through RtAudio's callback thread, on the default or a named device of the
// first sound system that has one (JACK, PulseAudio/PipeWire, ALSA's "default" device).
#pragma once

#include "platform/OutputStream.h"
#include "platform/SoundMixer.h"

#include <atomic>
#include <chrono>
#include <memory>

class RtAudio;

namespace corvane::platform {

class RtAudioOutput final : public IOutputStream {
public:
    explicit RtAudioOutput(std::shared_ptr<SoundMixer> mixer);
    ~RtAudioOutput() override;
    RtAudioOutput(const RtAudioOutput&) = delete;
    RtAudioOutput& operator=(const RtAudioOutput&) = delete;

    std::optional<OpenedFormat> Open(const std::string& device) override;
    bool Start() override;
    void Close() override;
    bool IsLost() const override { return m_bLost.load(); }
    std::uint64_t Calls() const override { return m_nCalls.load(); }
    std::uint64_t Underruns() const override { return m_nUnderruns.load(); }
    std::vector<std::string> Tried() const override { return m_tried; }
    std::vector<std::string> Devices() const override { return m_devices; }

    // How the desktop's sound settings name and show the program's stream.
    static void SetApplicationIdentity(const std::string& name, const std::string& iconName);

private:
    static int Callback(void* output, void* input, unsigned int frames, double streamTime,
                        unsigned int status, void* user);
    int Fill(std::int16_t* out, unsigned int frames, unsigned int status);

    std::shared_ptr<SoundMixer> m_mixer;
    std::unique_ptr<RtAudio> m_audio;
    DWORD m_nRate = 0;
    std::vector<std::string> m_tried;
    std::vector<std::string> m_devices;
    std::atomic<bool> m_bLost{false};
    std::atomic<std::uint64_t> m_nCalls{0};
    std::atomic<std::uint64_t> m_nUnderruns{0};
    // Written by the callback thread only (reset by Open before the stream starts).
    std::chrono::steady_clock::time_point m_started;
    std::uint64_t m_nFramesPlayed = 0;
};

} // namespace corvane::platform
