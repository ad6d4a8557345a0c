// Conversion of a finished float block to the 16-bit samples the output stream plays.
#pragma once

#include <cstdint>

namespace corvane::engine {

// Full scale for the conversion: 1.0 becomes 32000, leaving headroom below 32767.
constexpr float kPcmScale = 32000.0f;

// out[i] = trunc(in[i] x 32000) limited to -32000..32000 (NaN gives 0). Returns nCount.
unsigned ConvertToPcm16(const float* pIn, std::int16_t* pOut, unsigned nCount);

} // namespace corvane::engine
