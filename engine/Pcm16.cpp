// Float block to 16-bit samples.
#include "engine/Pcm16.h"

namespace corvane::engine {

unsigned ConvertToPcm16(const float* pIn, std::int16_t* pOut, unsigned nCount)
{
    for (unsigned i = 0; i < nCount; ++i) {
        // Limiting before truncating gives the same result as truncating then limiting, and
        // keeps out-of-range values away from the integer conversion.
        float v = pIn[i] * kPcmScale;
        v = v > kPcmScale ? kPcmScale : v;
        v = v < -kPcmScale ? -kPcmScale : v;
        pOut[i] = v == v ? static_cast<std::int16_t>(v) : 0;
    }
    return nCount;
}

} // namespace corvane::engine
