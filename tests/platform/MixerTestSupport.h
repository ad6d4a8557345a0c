// Builds manual-back-end devices and buffers for the mixer tests, and measures what they mix.
#pragma once

#include "platform/dsound.h"

#include <cstdint>
#include <vector>

namespace corvane::test {

// An initialised manual device at the given output format (priority level set).
IDirectSound* ManualDevice(DWORD rate = 22050, WORD channels = 2);

// A controllable 16-bit secondary buffer holding `samples` (mono or stereo interleaved).
IDirectSoundBuffer* BufferWith(IDirectSound* ds, const std::vector<std::int16_t>& samples,
                               DWORD rate, WORD channels = 1);

std::vector<std::int16_t> Pull(IDirectSound* ds, DWORD frames);
// RMS of one channel of interleaved stereo frames.
double Rms(const std::vector<std::int16_t>& frames, int channel);
// A sine of `hz` at `rate` with the given peak.
std::vector<std::int16_t> Sine(DWORD count, double hz, DWORD rate, double peak);

} // namespace corvane::test
