// The mixer: band-limited rate conversion, volume and pan per voice, summing and clipping.
#include "platform/SoundMixer.h"
#include "platform/ClipSample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace corvane::platform {

SoundMixer::SoundMixer(DWORD rate, WORD channels) : m_nRate(rate), m_nChannels(channels)
{
    m_fade.SetRate(rate);
}

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
    // A voice not mixed since it started takes the new rate as its starting point.
    for (MixerVoice* v : m_voices)
        if (v->restart) {
            v->position = v->heard;
            Restart(*v);
        } else {
            Prepare(*v);
        }
    m_fade.SetRate(rate);
}

void SoundMixer::FadeMaster(bool unity, double seconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fade.FadeTo(unity, seconds);
}

double SoundMixer::MasterFadePosition()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fade.Position();
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

namespace {
// How far ahead of what is heard the resampler may read, in source frames. The cursor runs this
// far ahead, so that the block written where it stands is never one the resampler has read
// already.
double ReadAhead(double ratio)
{
    return VoiceResampler::ReadAhead(ratio);
}
} // namespace

void SoundMixer::Prepare(MixerVoice& v)
{
    if (!v.resampler)
        return;
    const bool inUse = v.resampling || v.fadeFrames > 0;
    // While the pitch moves block by block the variable-rate engine serves; a fixed-ratio one
    // is made once it holds still (the next call here), not for every passing ratio.
    if (!inUse || v.resampler->Steady())
        v.resampler->Prepare(static_cast<double>(v.frequency) / m_nRate, inUse);
}

void SoundMixer::Restart(MixerVoice& v)
{
    v.resampling = false;
    v.fadeFrames = 0;
    v.restart = true;
    v.heard = v.direct = std::floor(std::max(0.0, v.position));
    if (v.resampler)
        v.resampler->Clear();
    Prepare(v);
    const double ratio = static_cast<double>(v.frequency) / m_nRate;
    v.lead = ratio == 1.0 ? 0.0 : ReadAhead(ratio);
    double cursor = v.heard + v.lead;
    if (v.looping && cursor >= v.frames)
        cursor = std::fmod(cursor, static_cast<double>(v.frames));
    v.position = std::min(cursor, static_cast<double>(v.frames));
}

void SoundMixer::Mix(std::int16_t* out, DWORD frames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nMixCalls;
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
        const double ratio = static_cast<double>(v->frequency) / m_nRate;
        // At exactly the output rate a voice passes bit-exact, with no filter in its path.
        if ((!v->resampling && v->fadeFrames == 0 && v->lead == 0.0 && ratio == 1.0 &&
             v->position == std::floor(v->position) && v->position >= 0.0) ||
            !v->resampler || !v->resampler->Valid()) {
            MixUnitStep(*v, frames);
            v->heard = v->direct = v->position;
            v->restart = false;
            continue;
        }
        MixResampled(*v, frames, ratio);
    }
    m_fade.Process(m_acc, frames, 2);
    if (m_nChannels == 2) {
        DWORD f = 0;
#if defined(__SSE2__)
        // Four at a time, exactly as ClipSample: the limits are applied so that NaN passes
        // them, NaN is then zeroed (the scalar conversion's 0x80000000 also ends as 0), and
        // the packing cannot saturate what is already within 16 bits.
        const __m128 lo = _mm_set1_ps(-32768.0f);
        const __m128 hi = _mm_set1_ps(32767.0f);
        for (; f + 8 <= frames * 2; f += 8) {
            __m128 a = _mm_loadu_ps(m_acc + f);
            __m128 b = _mm_loadu_ps(m_acc + f + 4);
            a = _mm_min_ps(hi, _mm_max_ps(lo, a));
            b = _mm_min_ps(hi, _mm_max_ps(lo, b));
            a = _mm_and_ps(a, _mm_cmpord_ps(a, a));
            b = _mm_and_ps(b, _mm_cmpord_ps(b, b));
            const __m128i packed = _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + f), packed);
        }
#endif
        for (; f < frames * 2; ++f)
            out[f] = ClipSample(m_acc[f]);
    } else {
        for (DWORD f = 0; f < frames; ++f)
            out[f] = ClipSample((m_acc[f * 2] + m_acc[f * 2 + 1]) * 0.5f);
    }
}

void SoundMixer::MixUnitStep(MixerVoice& v, DWORD frames)
{
    // The cursor stays on whole frames, so the interpolation weight is always 0 and
    // s0 + (s1 - s0) * 0 is s0 itself: the same sums as the general path, without the
    // neighbour reads and the double cursor arithmetic.
    const std::int16_t* s = v.samples.data();
    const unsigned ch = v.channels;
    const unsigned right = ch == 2 ? 1 : 0;
    const float gainLeft = v.gainLeft;
    const float gainRight = v.gainRight;
    double pos = v.position;
    DWORD f = 0;
    while (f < frames) {
        if (pos >= v.frames) {
            if (!v.looping) {
                pos = v.frames;
                v.playing = false;
                break;
            }
            pos = std::fmod(pos, static_cast<double>(v.frames));
        }
        const auto i = static_cast<DWORD>(pos);
        const DWORD run = std::min(frames - f, v.frames - i);
        const std::int16_t* from = s + static_cast<std::size_t>(i) * ch;
        float* acc = m_acc + static_cast<std::size_t>(f) * 2;
        DWORD k = 0;
#if defined(__SSE2__)
        if (ch == 1) {
            // Four mono frames at a time: the same products and sums, paired up for left and right.
            const __m128 gl = _mm_set1_ps(gainLeft);
            const __m128 gr = _mm_set1_ps(gainRight);
            for (; k + 4 <= run; k += 4) {
                const __m128i raw = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + k));
                const __m128 x = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(raw, raw), 16));
                const __m128 l = _mm_mul_ps(x, gl);
                const __m128 r = _mm_mul_ps(x, gr);
                float* a = acc + k * 2;
                _mm_storeu_ps(a, _mm_add_ps(_mm_loadu_ps(a), _mm_unpacklo_ps(l, r)));
                _mm_storeu_ps(a + 4, _mm_add_ps(_mm_loadu_ps(a + 4), _mm_unpackhi_ps(l, r)));
            }
        }
#endif
        for (; k < run; ++k) {
            acc[k * 2] += static_cast<float>(from[k * ch]) * gainLeft;
            acc[k * 2 + 1] += static_cast<float>(from[k * ch + right]) * gainRight;
        }
        f += run;
        pos += run;
    }
    EndChunk(v, pos);
}

namespace {
// Frames over which the direct path and the resampler hand over to each other.
constexpr DWORD kFadeFrames = 64;
} // namespace

void SoundMixer::ReadDirect(const MixerVoice& v, double& pos, DWORD frames)
{
    const unsigned ch = v.channels;
    auto i = static_cast<DWORD>(pos);
    for (DWORD f = 0; f < frames; ++f) {
        if (i >= v.frames && v.looping)
            i = 0;
        const bool inside = i < v.frames;
        for (unsigned c = 0; c < ch; ++c)
            m_direct[f * ch + c] = inside ? v.samples[static_cast<std::size_t>(i) * ch + c] : 0.0f;
        if (inside)
            ++i;
    }
    pos = i;
}

void SoundMixer::MixResampled(MixerVoice& v, DWORD frames, double ratio)
{
    VoiceResampler& r = *v.resampler;
    const unsigned ch = v.channels;
    const double end = v.frames;
    // (A lead grown in this call counts from the next one: a caller that writes where the
    // cursor stands between calls has then written what the resampler reads first.)
    if (v.fadeFrames == 0 && !v.resampling && ratio != 1.0 && !v.restart &&
        (v.lead < ReadAhead(std::max(1.0, ratio)) || v.leadGrownIn == m_nMixCalls)) {
        // Leaving the output rate while playing: before the resampler may read ahead, the
        // cursor gets ahead of what is heard by moving at twice the rate for a few
        // milliseconds (the sound keeps its rate until then), so that what the resampler will
        // read has been written by the time it reads it.
        ReadDirect(v, v.direct, frames);
        for (DWORD f = 0; f < frames; ++f)
            for (unsigned c = 0; c < 2; ++c)
                m_acc[f * 2 + c] += m_direct[f * ch + (c < ch ? c : 0)] * (c ? v.gainRight : v.gainLeft);
        if (v.lead < ReadAhead(std::max(1.0, ratio))) {
            v.lead = std::min(v.lead + frames, ReadAhead(std::max(1.0, ratio)));
            v.leadGrownIn = m_nMixCalls;
        }
        v.heard = v.direct;
        double cursor = v.heard + v.lead;
        if (v.looping && cursor >= end)
            cursor = std::fmod(cursor, end);
        if (!v.looping && v.direct >= end) {
            cursor = end;
            v.playing = false;
        }
        v.position = std::min(cursor, end);
        return;
    }
    if (v.fadeFrames == 0) {
        if (!v.resampling && ratio != 1.0) {
            // Into the resampler from what is heard: after a jump at once at the new rate, else
            // from the direct path at its rate (1), fading over; the new rate follows next block.
            const bool fade = !v.restart;
            r.Prime(v, static_cast<DWORD>(v.heard), fade ? 1.0 : ratio);
            v.direct = v.heard;
            v.resampling = true;
            v.fadeFrames = fade ? kFadeFrames : 0;
            if (fade)
                ratio = 1.0;
        } else if (v.resampling && ratio == 1.0 && r.Ratio() == 1.0) {
            // Back to the direct path, from the frame now heard.
            v.direct = std::floor(v.heard + 0.5);
            if (v.direct >= end)
                v.direct = v.looping ? 0.0 : end;
            v.resampling = false;
            v.fadeFrames = kFadeFrames;
        }
    } else if (v.resampling) {
        ratio = 1.0; // keeps both paths in step until the fade ends
    }
    v.restart = false;

    const bool fading = v.fadeFrames > 0;
    const double fromRatio = r.Ratio();
    // The cursor's lead only grows, so that the cursor never steps back.
    if (v.resampling)
        v.lead = std::max(v.lead, ReadAhead(std::max(fromRatio, ratio)));
    double advance = 0.0;
    if (v.resampling || fading) {
        advance = r.Render(v, m_converted, frames, ratio);
        ratio = r.Ratio(); // it may lag the new ratio while its engines hand over
    }
    if (!v.resampling || fading)
        ReadDirect(v, v.direct, frames);
    // What is heard is the path in use; the one that was left fades out over the first frames.
    const float* heard = v.resampling ? m_converted : m_direct;
    const float* leaving = v.resampling ? m_direct : m_converted;
    double pos = v.heard;
    DWORD f = frames;
    if (v.resampling) {
        // The resampler's cursor glides from the old rate to the new one over the block; only
        // a one-shot that ends in it needs the frame where it ends.
        const double glide = ratio - fromRatio;
        if (!v.looping && pos + advance >= end) {
            for (f = 0; f < frames && pos < end; ++f)
                pos += fromRatio + glide * (f + 1) / frames;
        } else {
            pos += advance;
            if (v.looping && pos >= end)
                pos = std::fmod(pos, end);
        }
    }
    const float gl = v.gainLeft;
    const float gr = v.gainRight;
    const unsigned right = ch == 2 ? 1 : 0;
    DWORD k = 0;
    for (; k < f && v.fadeFrames > 0; ++k, --v.fadeFrames) {
        const float w = 1.0f - static_cast<float>(v.fadeFrames) / (kFadeFrames + 1);
        const float l = heard[k * ch] * w + leaving[k * ch] * (1.0f - w);
        const float r2 = heard[k * ch + right] * w + leaving[k * ch + right] * (1.0f - w);
        m_acc[k * 2] += l * gl;
        m_acc[k * 2 + 1] += r2 * gr;
    }
    for (; k < f; ++k) {
        m_acc[k * 2] += heard[k * ch] * gl;
        m_acc[k * 2 + 1] += heard[k * ch + right] * gr;
    }
    if (!v.resampling)
        pos = v.direct;
    v.heard = pos;
    double cursor = v.heard + v.lead;
    if (v.looping && cursor >= end)
        cursor = std::fmod(cursor, end);
    if (f < frames || (!v.looping && pos >= end)) {
        // A one-shot ends where its last frame has been heard.
        v.heard = v.direct = cursor = end;
        v.playing = false;
        v.fadeFrames = 0;
    }
    v.position = std::min(cursor, end);
}

void SoundMixer::EndChunk(MixerVoice& v, double pos)
{
    const double end = v.frames;
    if (v.playing && pos >= end && !v.looping) {
        pos = end;
        v.playing = false;
    }
    v.position = v.looping && pos >= end ? std::fmod(pos, end) : pos;
}

} // namespace corvane::platform
