// Float to 16-bit sample, as the mixer and the export's converter both hand sound on.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace corvane::platform {

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

} // namespace corvane::platform
