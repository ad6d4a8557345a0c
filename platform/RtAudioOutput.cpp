// One output stream through RtAudio's callback thread, on the default or a named device of the
// first sound system that has one (JACK, PulseAudio/PipeWire, ALSA's "default" device).
#include "platform/RtAudioOutput.h"

#include <rtaudio/RtAudio.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace corvane::platform {

namespace {
// Periods of 10 ms: the play cursors move smoothly, and with four of them queued the sound
// keeps going while both cores are busy.
constexpr unsigned kPeriodsPerSecond = 100;
constexpr unsigned kPeriods = 4;
// A sound system that takes frames much faster than real time has gone away (PulseAudio then
// fails every write at once).
constexpr double kLostAheadSeconds = 0.5;
// Used when a device names no preferred rate.
constexpr unsigned kFallbackRate = 48000;

std::string SystemName(RtAudio::Api api)
{
    switch (api) {
    case RtAudio::UNIX_JACK:
        return "JACK";
    case RtAudio::LINUX_PULSE:
        return "PulseAudio";
    case RtAudio::LINUX_ALSA:
        return "ALSA";
    default:
        return RtAudio::getApiDisplayName(api);
    }
}
} // namespace

RtAudioOutput::RtAudioOutput(std::shared_ptr<SoundMixer> mixer) : m_mixer(std::move(mixer)) {}

RtAudioOutput::~RtAudioOutput()
{
    Close();
}

void RtAudioOutput::SetApplicationIdentity(const std::string& name, const std::string& iconName)
{
    // libpulse (and PipeWire's PulseAudio service) take client properties from here; a value
    // the user set in the environment is kept.
    setenv("PULSE_PROP_application.name", name.c_str(), 0);
    setenv("PULSE_PROP_application.icon_name", iconName.c_str(), 0);
    setenv("PULSE_PROP_media.role", "music", 0);
}

std::optional<OpenedFormat> RtAudioOutput::Open(const std::string& device)
{
    Close();
    m_tried.clear();
    std::vector<RtAudio::Api> apis;
    RtAudio::getCompiledApi(apis);
    for (RtAudio::Api api : apis) {
        if (api == RtAudio::RTAUDIO_DUMMY)
            continue;
        m_tried.push_back(SystemName(api));
        try {
            auto audio = std::make_unique<RtAudio>(api);
            audio->showWarnings(false);
            const unsigned count = audio->getDeviceCount();
            if (count == 0)
                continue;
            std::vector<std::string> names;
            unsigned id = audio->getDefaultOutputDevice();
            bool named = false;
            for (unsigned i = 0; i < count; ++i) {
                const RtAudio::DeviceInfo info = audio->getDeviceInfo(i);
                if (!info.probed || info.outputChannels == 0)
                    continue;
                names.push_back(info.name);
                if (!device.empty() && info.name == device) {
                    id = i;
                    named = true;
                }
            }
            const RtAudio::DeviceInfo info = audio->getDeviceInfo(id);
            RtAudio::StreamParameters params;
            params.deviceId = id;
            params.nChannels = std::clamp(info.outputChannels, 1u, 2u);
            RtAudio::StreamOptions options;
            options.flags = RTAUDIO_MINIMIZE_LATENCY;
            // ALSA's "default" goes through the user's configuration (dmix, PipeWire's or
            // PulseAudio's plug-in), not straight to the first card.
            if (api == RtAudio::LINUX_ALSA && !named)
                options.flags |= RTAUDIO_ALSA_USE_DEFAULT;
            options.numberOfBuffers = kPeriods;
            options.streamName = "Corvane";
            const unsigned rate = info.preferredSampleRate ? info.preferredSampleRate : kFallbackRate;
            unsigned frames = rate / kPeriodsPerSecond;
            m_nRate = rate;
            m_nFramesPlayed = 0;
            m_bLost = false;
            audio->openStream(&params, nullptr, RTAUDIO_SINT16, rate, &frames,
                              &RtAudioOutput::Callback, this, &options);
            // The rate the stream really got is the one the mixer must produce.
            m_nRate = audio->getStreamSampleRate();
            m_audio = std::move(audio);
            m_devices = std::move(names);
            return OpenedFormat{m_nRate, static_cast<WORD>(params.nChannels), SystemName(api)};
        } catch (const RtAudioError&) {
            // Try the next sound system.
        }
    }
    return std::nullopt;
}

bool RtAudioOutput::Start()
{
    if (!m_audio)
        return false;
    m_started = std::chrono::steady_clock::now();
    try {
        m_audio->startStream();
        return true;
    } catch (const RtAudioError&) {
        return false;
    }
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

int RtAudioOutput::Callback(void* output, void*, unsigned int frames, double, unsigned int status,
                            void* user)
{
    return static_cast<RtAudioOutput*>(user)->Fill(static_cast<std::int16_t*>(output), frames, status);
}

int RtAudioOutput::Fill(std::int16_t* out, unsigned int frames, unsigned int status)
{
    if (status & RTAUDIO_OUTPUT_UNDERFLOW)
        ++m_nUnderruns;
    m_mixer->Mix(out, frames);
    ++m_nCalls;
    m_nFramesPlayed += frames;
    const auto due = m_started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(
                                         static_cast<double>(m_nFramesPlayed) / m_nRate));
    if (!m_bLost && due - std::chrono::steady_clock::now() >
                        std::chrono::duration<double>(kLostAheadSeconds))
        m_bLost = true;
    if (m_bLost) {
        // Nothing plays any more: the cursors keep moving at the real rate, without spinning
        // this thread, until the stream is closed.
        std::this_thread::sleep_until(due);
    }
    // Never ask RtAudio to stop from here: stopping a stream whose server is gone throws on
    // this thread.
    return 0;
}

} // namespace corvane::platform
