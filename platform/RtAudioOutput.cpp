// Plays the mixer's output on the default sound device through RtAudio's callback thread.
#include "platform/RtAudioOutput.h"

#include <rtaudio/RtAudio.h>

#include <thread>
#include <vector>

namespace corvane::platform {

namespace {
// Period of about 6 ms at 22050 Hz so that play cursors move smoothly; a few periods queued.
constexpr unsigned kPeriodFrames = 128;
constexpr unsigned kPeriods = 8;
// A sound system that takes frames much faster than real time has gone away (PulseAudio then
// fails every write at once).
constexpr double kLostAheadSeconds = 2.0;
} // namespace

RtAudioOutput::RtAudioOutput(std::shared_ptr<SoundMixer> mixer) : m_mixer(std::move(mixer)) {}

RtAudioOutput::~RtAudioOutput()
{
    Close();
}

bool RtAudioOutput::Open()
{
    Close();
    std::vector<RtAudio::Api> apis;
    RtAudio::getCompiledApi(apis);
    const DWORD rate = m_mixer->OutputRate();
    const WORD channels = m_mixer->OutputChannels();
    for (RtAudio::Api api : apis) {
        if (api == RtAudio::RTAUDIO_DUMMY)
            continue;
        try {
            auto audio = std::make_unique<RtAudio>(api);
            audio->showWarnings(false);
            if (audio->getDeviceCount() == 0)
                continue;
            RtAudio::StreamParameters params;
            params.deviceId = audio->getDefaultOutputDevice();
            params.nChannels = channels;
            RtAudio::StreamOptions options;
            options.flags = RTAUDIO_MINIMIZE_LATENCY;
            options.numberOfBuffers = kPeriods;
            options.streamName = "Corvane";
            unsigned frames = kPeriodFrames;
            m_nRate = rate;
            m_nFramesPlayed = 0;
            m_started = std::chrono::steady_clock::now();
            m_bLost = false;
            audio->openStream(&params, nullptr, RTAUDIO_SINT16, rate, &frames,
                              &RtAudioOutput::Callback, this, &options);
            audio->startStream();
            m_audio = std::move(audio);
            return true;
        } catch (const RtAudioError&) {
            // Try the next sound system.
        }
    }
    return false;
}

void RtAudioOutput::Close()
{
    if (!m_audio)
        return;
    // Closing joins the callback thread without draining, so a device that went away can't
    // make it fail or wait.
    try {
        if (m_audio->isStreamOpen())
            m_audio->closeStream();
    } catch (const RtAudioError&) {
        // The device is going away anyway.
    }
    m_audio.reset();
}

int RtAudioOutput::Callback(void* output, void*, unsigned int frames, double, unsigned int,
                            void* user)
{
    return static_cast<RtAudioOutput*>(user)->Fill(static_cast<std::int16_t*>(output), frames);
}

int RtAudioOutput::Fill(std::int16_t* out, unsigned int frames)
{
    m_mixer->Mix(out, frames);
    m_nFramesPlayed += frames;
    const auto now = std::chrono::steady_clock::now();
    const auto due = m_started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(
                                         static_cast<double>(m_nFramesPlayed) / m_nRate));
    if (m_bLost) {
        // Nothing plays any more: keep the cursors moving at the real rate so the program runs
        // on as before, only silently, without spinning this thread.
        std::this_thread::sleep_until(due);
    } else if (due - now > std::chrono::duration<double>(kLostAheadSeconds)) {
        m_bLost = true;
        m_started = now;
        m_nFramesPlayed = 0;
    }
    // Never ask RtAudio to stop from here: stopping a stream whose server is gone throws on
    // this thread.
    return 0;
}

} // namespace corvane::platform
