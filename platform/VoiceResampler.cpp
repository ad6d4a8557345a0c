// Band-limited conversion of one voice's sound to the output rate (libsoxr, variable-rate mode).
#include "platform/VoiceResampler.h"

#include "platform/SoundMixer.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace corvane::platform {

namespace {
// A 100000 Hz voice into an 8000 Hz output: the widest conversion the mixer asks for.
constexpr double kMaxRatio = 12.5;
// Source frames per hand-over: small, so that the read position runs only a few frames past
// what the filter needs (a larger one costs a little less).
constexpr std::size_t kFeedFrames = 8;
// A fresh stream of the variable-rate mode puts source frame 0 this many output frames into
// its output (libsoxr 0.1.3; the same for ratios from 0.25 to 5).
constexpr double kStartLatency = 1.62;
} // namespace

VoiceResampler::VoiceResampler(unsigned channels)
    : m_nChannels(channels), m_input(kFeedFrames * channels), m_discard(kMaxFrames * channels)
{
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, SOXR_VR);
    soxr_t s = soxr_create(kMaxRatio, 1.0, channels, &error, &io, &quality, nullptr);
    if (error) {
        soxr_delete(s);
        return;
    }
    m_soxr = s;
    soxr_set_input_fn(m_soxr, reinterpret_cast<soxr_input_fn_t>(&VoiceResampler::Feed), this,
                      kFeedFrames);
}

VoiceResampler::~VoiceResampler()
{
    if (m_soxr)
        soxr_delete(m_soxr);
}

void VoiceResampler::Clear()
{
    if (!m_soxr || m_bClear)
        return;
    soxr_clear(m_soxr);
    soxr_set_input_fn(m_soxr, reinterpret_cast<soxr_input_fn_t>(&VoiceResampler::Feed), this,
                      kFeedFrames);
    m_bClear = true;
}

void VoiceResampler::Prime(const MixerVoice& voice, DWORD from, double ratio)
{
    Clear();
    m_pVoice = &voice;
    m_ratio = ratio;
    m_bClear = false;
    if (!m_soxr)
        return;
    soxr_set_io_ratio(m_soxr, ratio, 0);
    // Enough source frames before the start that the filter has settled (no ringing from the
    // sudden start) when `from` comes out, but not much more than a thousand output frames to
    // throw away.
    const double lead = std::ceil(std::min(256.0, 1024.0 * ratio) * std::max(1.0, ratio));
    m_nFeed = static_cast<std::int64_t>(from) - static_cast<std::int64_t>(lead);
    const double at = lead / ratio + kStartLatency;
    // The nearest output frame counts as `from`: within half an output frame.
    auto skip = static_cast<std::size_t>(std::lround(at));
    while (skip > 0) {
        const std::size_t n = soxr_output(m_soxr, m_discard.data(), std::min<std::size_t>(skip, kMaxFrames));
        if (n == 0)
            break;
        skip -= n;
    }
}

void VoiceResampler::Render(const MixerVoice& voice, float* out, DWORD frames, double ratio)
{
    m_pVoice = &voice;
    if (!m_soxr) {
        std::fill(out, out + static_cast<std::size_t>(frames) * m_nChannels, 0.0f);
        return;
    }
    if (ratio != m_ratio) {
        soxr_set_io_ratio(m_soxr, ratio, frames);
        m_ratio = ratio;
    }
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t n = soxr_output(m_soxr, out + done * m_nChannels, frames - done);
        if (n == 0)
            break;
        done += n;
    }
    std::fill(out + done * m_nChannels, out + static_cast<std::size_t>(frames) * m_nChannels, 0.0f);
}

std::size_t VoiceResampler::Feed(void* self, const void** data, std::size_t frames)
{
    auto* me = static_cast<VoiceResampler*>(self);
    *data = me->m_input.data();
    return me->FeedFrom(frames);
}

std::size_t VoiceResampler::FeedFrom(std::size_t frames)
{
    const MixerVoice& v = *m_pVoice;
    const auto length = static_cast<std::int64_t>(v.frames);
    const std::size_t n = std::min(frames, kFeedFrames);
    const std::int16_t* s = v.samples.data();
    float* in = m_input.data();
    for (std::size_t k = 0; k < n; ++k, ++m_nFeed) {
        std::int64_t i = m_nFeed;
        if (v.looping && length > 0)
            i = ((i % length) + length) % length;
        const bool inside = i >= 0 && i < length;
        for (unsigned c = 0; c < m_nChannels; ++c)
            *in++ = inside ? static_cast<float>(s[i * m_nChannels + c]) : 0.0f;
    }
    // A loop's read position stays within one pass, however long it plays.
    if (v.looping && length > 0 && m_nFeed >= length)
        m_nFeed %= length;
    return n;
}

} // namespace corvane::platform
