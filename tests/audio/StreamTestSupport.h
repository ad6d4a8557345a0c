// A started manual-back-end device with the program's 7056-sample stream, for the audio tests.
#pragma once

#include "audio/CSoundDevice.h"

#include <cstdint>
#include <vector>

namespace corvane::test {

constexpr DWORD kStreamSamples = 7056;
constexpr DWORD kSegmentBytes = 1764;

class StreamRig {
public:
    // Output fixed at 44100 Hz so that one pulled frame moves the stream's cursor by 2 bytes.
    StreamRig();
    CSoundStream* Stream() { return m_device.FindStream(0); }
    CSoundDevice& Device() { return m_device; }
    IDirectSoundBuffer* Buffer() { return Stream()->GetBuffer(); }

    void Advance(DWORD frames);   // plays `frames` stream frames (pulls them from the mixer)
    DWORD Cursor();               // play cursor in bytes
    void MoveCursor(DWORD bytes); // sets the play cursor directly
    bool Playing();
    // The 882 samples of segment i as the buffer holds them now.
    std::vector<std::int16_t> Segment(DWORD i);

private:
    CSoundDevice m_device;
};

// A block of 882 samples all of one value.
std::vector<std::int16_t> Block(std::int16_t value);

} // namespace corvane::test
