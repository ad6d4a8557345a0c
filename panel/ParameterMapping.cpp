// Arithmetic of the panel's parameter mapping and 16-bit conversion.
#include "panel/ParameterMapping.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace corvane::panel {
namespace {

constexpr double kHundredth = static_cast<double>(0.01f);
constexpr double kLfoStep = static_cast<double>(0.005f);
constexpr double kDepthStep = static_cast<double>(1.0f / 240.0f);

// Stores a double as float; results beyond float range saturate rather than becoming inf.
float ToFloat(double x)
{
    if (std::isnan(x))
        return std::numeric_limits<float>::quiet_NaN();
    constexpr double kMax = std::numeric_limits<float>::max();
    if (x > kMax)
        return std::numeric_limits<float>::max();
    if (x < -kMax)
        return -std::numeric_limits<float>::max();
    return static_cast<float>(x);
}

} // namespace

int TruncToInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (x <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(x);
}

float UnitFromTopSlider(int position)
{
    return ToFloat(1.0 - position * kHundredth);
}

float SmoothFromSlider(int position)
{
    return ToFloat((100 - position) * kHundredth);
}

float BipolarFromSlider(int position)
{
    return ToFloat(position * kHundredth);
}

float VolumeFromSlider(int position)
{
    const int n = -position;
    return ToFloat(n * kHundredth);
}

float LfoFrequencyFromSlider(int position)
{
    const long long squared = static_cast<long long>(position) * position;
    return ToFloat(static_cast<double>(squared) * kLfoStep);
}

float KnobDepth(int position)
{
    return ToFloat((position - 60) * kDepthStep);
}

int HoldFromValue(float v)
{
    const int n = TruncToInt(static_cast<double>(v) * 100.0);
    return n < 1 ? 1 : n;
}

int HoldSliderPosition(int hold)
{
    return 100 - hold; // the hold is at least 1, so this cannot overflow
}

float CutoffFromValue(float v)
{
    const float x = ToFloat(static_cast<double>(v) * 10000.0);
    // A NaN fails every comparison; it must not reach the filter.
    if (!(x >= 10.0f))
        return 10.0f;
    return x;
}

int TopSliderPosition(float v)
{
    return TruncToInt(100.0 - static_cast<double>(v) * 100.0);
}

int VolumeHundredthsFromValue(float v)
{
    return TruncToInt(static_cast<double>(v) * 10000.0);
}

float VolumeShownFromValue(float v)
{
    return ToFloat(static_cast<double>(v) * 10000.0);
}

int VolumeSliderPosition(int hundredths)
{
    return hundredths / -100;
}

int BipolarSliderPosition(float v)
{
    return TruncToInt(static_cast<double>(v) * 100.0);
}

float PitchRatio(float v, int pitchRange)
{
    const unsigned h = static_cast<unsigned>(pitchRange) / 2u;
    const double exponent = static_cast<double>(v) * h + h;
    return ToFloat(std::pow(2.0, exponent) / pitchRange);
}

namespace {

// The conversion with selects instead of early returns, so that the block loop inlines it
// without branches: NaN passes both limits and is caught last, as 0.
inline std::int16_t ToPcm(float x)
{
    double scaled = static_cast<double>(x) * static_cast<double>(kPcmScale);
    scaled = scaled >= kPcmLimit ? kPcmLimit : scaled;
    scaled = scaled <= -kPcmLimit ? -kPcmLimit : scaled;
    scaled = std::isnan(scaled) ? 0.0 : scaled;
    return static_cast<std::int16_t>(static_cast<int>(scaled));
}

} // namespace

void ConvertBlock(const float* in, std::int16_t* out, unsigned count)
{
    unsigned i = 0;
#if defined(__SSE2__)
    // Four at a time with ToPcm's steps: exact products in double, the limits in an order that
    // lets NaN through to be zeroed, truncation, and a packing that has nothing to saturate.
    const __m128d high = _mm_set1_pd(kPcmLimit);
    const __m128d low = _mm_set1_pd(-kPcmLimit);
    const __m128d scale = _mm_set1_pd(static_cast<double>(kPcmScale));
    auto half = [&](__m128d v) {
        v = _mm_mul_pd(v, scale);
        v = _mm_max_pd(low, _mm_min_pd(high, v));
        v = _mm_and_pd(v, _mm_cmpord_pd(v, v));
        return _mm_cvttpd_epi32(v);
    };
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_loadu_ps(in + i);
        const __m128i a = half(_mm_cvtps_pd(x));
        const __m128i b = half(_mm_cvtps_pd(_mm_movehl_ps(x, x)));
        const __m128i packed = _mm_packs_epi32(_mm_unpacklo_epi64(a, b), a);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), packed);
    }
#endif
    for (; i < count; ++i)
        out[i] = ToPcm(in[i]);
}

std::string FormatValue(const char* format, double value)
{
    char text[256];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string FormatInt(const char* format, int value)
{
    char text[256];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string InfoLine(const char* name, const char* value, const char* unit)
{
    if (!name || !value)
        return {};
    char text[256];
    std::snprintf(text, sizeof text, "%s\r\n%s %s", name, value, unit ? unit : "");
    return text;
}

} // namespace corvane::panel
