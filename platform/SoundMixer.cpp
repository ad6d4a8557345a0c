// Linear-interpolating mixer: rate conversion, volume and pan per voice, summing and clipping.
#include "platform/SoundMixer.h"

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

namespace {

// std::lrint(std::clamp(x, -32768, 32767)) as a 16-bit sample. On x86 this is the one
// instruction lrintf itself uses (same rounding mode, NaN also ends as 0), without the call.
inline std::int16_t ClipSample(float x)
{
    x = std::clamp(x, -32768.0f, 32767.0f);
#if defined(__SSE2__)
    return static_cast<std::int16_t>(_mm_cvtss_si32(_mm_set_ss(x)));
#else
    return static_cast<std::int16_t>(std::lrint(x));
#endif
}

} // namespace

void SoundMixer::MixChunk(std::int16_t* out, DWORD frames)
{
    std::fill(m_acc, m_acc + frames * 2, 0.0f);
    for (MixerVoice* v : m_voices) {
        if (!v->playing || v->frames == 0)
            continue;
        const double step = static_cast<double>(v->frequency) / m_nRate;
        if (step == 1.0 && v->position == std::floor(v->position) && v->position >= 0.0) {
            MixUnitStep(*v, frames);
            continue;
        }
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
        EndChunk(*v, pos);
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
