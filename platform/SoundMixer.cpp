// Linear-interpolating mixer: rate conversion, volume and pan per voice, summing and clipping.
#include "platform/SoundMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvane::platform {

SoundMixer::SoundMixer(DWORD rate, WORD channels) : m_nRate(rate), m_nChannels(channels) {}

void SoundMixer::Add(MixerVoice* voice)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_voices.push_back(voice);
}

void SoundMixer::Remove(MixerVoice* voice)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_voices.erase(std::remove(m_voices.begin(), m_voices.end(), voice), m_voices.end());
}

void SoundMixer::SetOutputFormat(DWORD rate, WORD channels)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nRate = rate;
    m_nChannels = channels;
}

DWORD SoundMixer::OutputRate()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nRate;
}

WORD SoundMixer::OutputChannels()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nChannels;
}

void SoundMixer::UpdateGains(MixerVoice& voice)
{
    const float gain = std::pow(10.0f, static_cast<float>(voice.volume) / 2000.0f);
    // Pan attenuates only the opposite side, by |pan| hundredths of a dB.
    const float side = std::pow(10.0f, -static_cast<float>(std::abs(voice.pan)) / 2000.0f);
    voice.gainLeft = voice.pan > 0 ? gain * side : gain;
    voice.gainRight = voice.pan < 0 ? gain * side : gain;
}

void SoundMixer::Mix(std::int16_t* out, DWORD frames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    while (frames > 0) {
        const DWORD n = std::min(frames, kChunkFrames);
        MixChunk(out, n);
        out += static_cast<std::size_t>(n) * m_nChannels;
        frames -= n;
    }
}

void SoundMixer::MixChunk(std::int16_t* out, DWORD frames)
{
    std::fill(m_acc, m_acc + frames * 2, 0.0f);
    for (MixerVoice* v : m_voices) {
        if (!v->playing || v->frames == 0)
            continue;
        const double step = static_cast<double>(v->frequency) / m_nRate;
        const double end = v->frames;
        const std::int16_t* s = v->samples.data();
        const unsigned ch = v->channels;
        double pos = v->position;
        for (DWORD f = 0; f < frames; ++f) {
            if (pos >= end) {
                if (!v->looping) {
                    // A one-shot stops by itself and its cursor stays at the end.
                    pos = end;
                    v->playing = false;
                    break;
                }
                pos = std::fmod(pos, end);
            }
            const DWORD i = static_cast<DWORD>(pos);
            const float frac = static_cast<float>(pos - i);
            // The sample after the last one is the first (looping) or the last again (once).
            const DWORD j = i + 1 < v->frames ? i + 1 : (v->looping ? 0 : i);
            const float l0 = s[i * ch];
            const float l1 = s[j * ch];
            const float left = l0 + (l1 - l0) * frac;
            float right = left;
            if (ch == 2) {
                const float r0 = s[i * ch + 1];
                const float r1 = s[j * ch + 1];
                right = r0 + (r1 - r0) * frac;
            }
            m_acc[f * 2] += left * v->gainLeft;
            m_acc[f * 2 + 1] += right * v->gainRight;
            pos += step;
        }
        if (v->playing && pos >= end && !v->looping) {
            pos = end;
            v->playing = false;
        }
        v->position = v->looping && pos >= end ? std::fmod(pos, end) : pos;
    }
    auto clip = [](float x) {
        return static_cast<std::int16_t>(std::lrint(std::clamp(x, -32768.0f, 32767.0f)));
    };
    if (m_nChannels == 2) {
        for (DWORD f = 0; f < frames * 2; ++f)
            out[f] = clip(m_acc[f]);
    } else {
        for (DWORD f = 0; f < frames; ++f)
            out[f] = clip((m_acc[f * 2] + m_acc[f * 2 + 1]) * 0.5f);
    }
}

} // namespace corvane::platform
