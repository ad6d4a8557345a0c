// Band-limited conversion of one voice's sound to the output rate (libsoxr): a fixed-ratio
// engine while the pitch holds still, the variable-rate one while it moves.
#include "platform/VoiceResampler.h"

#include "platform/SoundMixer.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace corvane::platform {

namespace {
// A 100000 Hz voice into an 8000 Hz output: the widest conversion the mixer asks for.
constexpr double kMaxRatio = 12.5;
// Source frames per hand-over to the variable-rate engine: small, so that the read position
// runs only a few frames past what the filter needs (a larger one costs a little less). The
// fixed-ratio engine reads in blocks of its own anyway.
constexpr std::size_t kVariableFeedFrames = 8;
constexpr std::size_t kFixedFeedFrames = 64;
// A fresh stream of the variable-rate mode puts source frame 0 this many output frames into
// its output (libsoxr 0.1.3; the same for ratios from 0.25 to 5). The fixed-ratio mode puts it
// at output frame 0.
constexpr double kStartLatency = 1.62;
// Start frames tried so that a fresh engine lands on a fractional source position.
constexpr int kStartChoices = 64;

void Silence(float* out, std::size_t samples)
{
    std::fill(out, out + samples, 0.0f);
}
} // namespace

double VoiceResampler::ReadAhead(double ratio)
{
    // Measured with libsoxr 0.1.3: the variable-rate engine reads 248 frames ahead up to a
    // ratio of 1.3 and 606 at 2; the fixed-ratio one (1024-point transforms at most) 492 up to
    // a ratio of 1.5. With margins, and never smaller at a higher ratio.
    return std::ceil(std::max(540.0, 310.0 * ratio));
}

VoiceResampler::VoiceResampler(unsigned channels)
    : m_nChannels(channels), m_input(kFixedFeedFrames * channels), m_leaving(kMaxFrames * channels)
{
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, SOXR_VR);
    soxr_t s = soxr_create(kMaxRatio, 1.0, channels, &error, &io, &quality, nullptr);
    if (error) {
        soxr_delete(s);
        return;
    }
    m_variable.handle = s;
    m_variable.owner = this;
    soxr_set_input_fn(s, reinterpret_cast<soxr_input_fn_t>(&VoiceResampler::Feed), &m_variable,
                      kVariableFeedFrames);
    for (Engine& e : m_fixed)
        e.owner = this;
}

VoiceResampler::~VoiceResampler()
{
    for (Engine* e : {&m_variable, &m_fixed[0], &m_fixed[1]})
        if (e->handle)
            soxr_delete(e->handle);
}

void VoiceResampler::ClearEngine(Engine& e)
{
    if (!e.handle || e.clear)
        return;
    soxr_clear(e.handle);
    soxr_set_input_fn(e.handle, reinterpret_cast<soxr_input_fn_t>(&VoiceResampler::Feed), &e,
                      &e == &m_variable ? kVariableFeedFrames : kFixedFeedFrames);
    e.clear = true;
}

void VoiceResampler::Clear()
{
    m_pActive = m_pLeaving = nullptr;
    m_nFade = 0;
    for (Engine* e : {&m_variable, &m_fixed[0], &m_fixed[1]})
        ClearEngine(*e);
}

void VoiceResampler::Prepare(double ratio, bool inUse)
{
    if (!inUse) {
        m_pActive = m_pLeaving = nullptr;
        m_nFade = 0;
    }
    const auto idle = [this](const Engine& e) { return &e != m_pActive && &e != m_pLeaving; };
    if (idle(m_variable))
        ClearEngine(m_variable);
    if (!Valid() || !(ratio > 0.0) || ratio == 1.0 || ratio > kMaxFixedRatio)
        return;
    Engine* slot = nullptr;
    for (Engine& e : m_fixed) {
        if (e.handle && e.ratio == ratio && (e.clear || !idle(e)))
            return; // ready, or making what is heard
        if (idle(e) && (!slot || e.ratio == ratio))
            slot = &e;
    }
    if (!slot)
        return;
    if (slot->handle && slot->ratio == ratio) {
        ClearEngine(*slot);
        return;
    }
    if (slot->handle)
        soxr_delete(slot->handle);
    slot->handle = nullptr;
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    // 16-bit quality (aliases about 90 dB down) with the passband up to 0.91 of the source's
    // Nyquist; transforms of at most 1024 points keep the read-ahead near 500 frames.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
    soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    runtime.log2_large_dft_size = 10;
    soxr_t s = soxr_create(ratio, 1.0, m_nChannels, &error, &io, &quality, &runtime);
    if (error) {
        soxr_delete(s);
        return;
    }
    slot->handle = s;
    slot->ratio = ratio;
    slot->clear = true;
    soxr_set_input_fn(s, reinterpret_cast<soxr_input_fn_t>(&VoiceResampler::Feed), slot,
                      kFixedFeedFrames);
}

VoiceResampler::Engine* VoiceResampler::FixedFor(double ratio)
{
    for (Engine& e : m_fixed)
        if (e.handle && e.ratio == ratio && e.clear)
            return &e;
    return nullptr;
}

void VoiceResampler::Start(Engine& e, double pos, double ratio)
{
    ClearEngine(e); // allocates: only where nothing prepared it
    e.clear = false;
    const bool variable = &e == &m_variable;
    if (variable)
        soxr_set_io_ratio(e.handle, ratio, 0);
    const double latency = variable ? kStartLatency : 0.0;
    // Enough source frames before the start that the filter has settled (no ringing from the
    // sudden start) when `pos` comes out, but not much more than a thousand output frames to
    // throw away; of the start frames that allows, the one whose first kept output lands
    // nearest `pos`, never before it.
    const double lead = std::ceil(std::min(256.0, 1024.0 * ratio) * std::max(1.0, ratio));
    const double base = std::floor(pos) - lead;
    double start = base;
    double skipped = 0.0;
    double best = 1e9;
    for (int k = 0; k < kStartChoices; ++k) {
        const double at = std::ceil((pos - (base - k)) / ratio + latency - 1e-9);
        const double late = (at - latency) * ratio + (base - k) - pos;
        if (late < best) {
            best = late;
            start = base - k;
            skipped = at;
        }
    }
    e.feed = static_cast<std::int64_t>(start);
    auto skip = static_cast<std::size_t>(skipped);
    while (skip > 0) {
        const std::size_t n = soxr_output(e.handle, m_leaving.data(), std::min<std::size_t>(skip, kMaxFrames));
        if (n == 0)
            break;
        skip -= n;
    }
}

void VoiceResampler::Prime(const MixerVoice& voice, DWORD from, double ratio)
{
    m_pVoice = &voice;
    m_pLeaving = nullptr;
    m_nFade = 0;
    m_ratio = ratio;
    m_nSteady = 0;
    m_pos = from;
    m_pActive = nullptr;
    if (!Valid())
        return;
    Engine* fixed = FixedFor(ratio);
    m_pActive = fixed ? fixed : &m_variable;
    Start(*m_pActive, from, ratio);
}

void VoiceResampler::Pull(Engine& e, float* out, DWORD frames)
{
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t n = soxr_output(e.handle, out + done * m_nChannels, frames - done);
        if (n == 0)
            break;
        done += n;
    }
    Silence(out + done * m_nChannels, (frames - done) * m_nChannels);
}

double VoiceResampler::Render(const MixerVoice& voice, float* out, DWORD frames, double ratio)
{
    m_pVoice = &voice;
    if (!m_pActive) {
        Silence(out, static_cast<std::size_t>(frames) * m_nChannels);
        return frames * ratio;
    }
    const auto handOver = [this](Engine& to) {
        m_pLeaving = m_pActive;
        m_pActive = &to;
        m_nFade = kHandOverFrames;
    };
    if (m_nFade == 0) {
        if (m_pActive != &m_variable) {
            if (ratio != m_ratio) {
                // The pitch starts to move: over to the variable-rate engine at the ratio heard
                // so far; the glide follows the hand-over.
                Start(m_variable, m_pos, m_ratio);
                handOver(m_variable);
            }
        } else if (ratio == m_ratio && m_nSteady >= kSteadyFrames) {
            if (Engine* fixed = FixedFor(ratio)) {
                Start(*fixed, m_pos, ratio);
                handOver(*fixed);
            }
        }
    } else if (m_pLeaving == &m_variable && ratio != m_ratio) {
        // Moving again while the fixed-ratio engine fades in: both are in step, so the fade
        // simply turns round.
        std::swap(m_pActive, m_pLeaving);
        m_nFade = kHandOverFrames - m_nFade;
    }
    // Both engines stay at one ratio while they hand over; the rest of the block glides.
    const DWORD held = std::min(frames, m_nFade);
    if (held > 0) {
        Pull(*m_pActive, out, held);
        Pull(*m_pLeaving, m_leaving.data(), held);
        for (DWORD f = 0; f < held; ++f) {
            const float w = static_cast<float>(kHandOverFrames - m_nFade + f + 1) / (kHandOverFrames + 1);
            for (unsigned c = 0; c < m_nChannels; ++c) {
                float& x = out[f * m_nChannels + c];
                x = x * w + m_leaving[f * m_nChannels + c] * (1.0f - w);
            }
        }
        m_nFade -= held;
        if (m_nFade == 0)
            m_pLeaving = nullptr; // cleaned by the next Prepare
    }
    const DWORD rest = frames - held;
    const double from = m_ratio;
    const double to = m_pActive == &m_variable && m_nFade == 0 ? ratio : m_ratio;
    if (rest > 0) {
        if (to != from)
            soxr_set_io_ratio(m_variable.handle, to, rest);
        Pull(*m_pActive, out + static_cast<std::size_t>(held) * m_nChannels, rest);
    }
    const double advance = held * from + rest * from + (to - from) * (rest + 1) / 2.0;
    m_pos += advance;
    const double length = voice.frames;
    if (voice.looping && length > 0 && m_pos >= length)
        m_pos = std::fmod(m_pos, length);
    m_nSteady = to == from ? std::min(m_nSteady + frames, kSteadyFrames) : 0;
    m_ratio = to;
    return advance;
}

std::size_t VoiceResampler::Feed(void* engine, const void** data, std::size_t frames)
{
    auto* e = static_cast<Engine*>(engine);
    VoiceResampler* me = e->owner;
    *data = me->m_input.data();
    const std::size_t n = std::min(frames, kFixedFeedFrames);
    me->FeedFrom(*e, n);
    return n;
}

void VoiceResampler::FeedFrom(Engine& e, std::size_t n)
{
    const MixerVoice& v = *m_pVoice;
    const auto length = static_cast<std::int64_t>(v.frames);
    const unsigned ch = m_nChannels;
    const std::int16_t* s = v.samples.data();
    float* in = m_input.data();
    std::int64_t i = e.feed;
    if (v.looping && length > 0) {
        // A loop's read position stays within one pass, however long it plays.
        i = ((i % length) + length) % length;
        for (std::size_t k = 0; k < n; ++k) {
            for (unsigned c = 0; c < ch; ++c)
                *in++ = static_cast<float>(s[i * ch + c]);
            if (++i == length)
                i = 0;
        }
    } else {
        for (std::size_t k = 0; k < n; ++k, ++i) {
            const bool inside = i >= 0 && i < length;
            for (unsigned c = 0; c < ch; ++c)
                *in++ = inside ? static_cast<float>(s[i * ch + c]) : 0.0f;
        }
    }
    e.feed = i;
}

} // namespace corvane::platform
