// A started manual-back-end device with the program's 7056-sample stream, for the audio tests.
#include "tests/audio/StreamTestSupport.h"

#include <cstdlib>
#include <cstring>

namespace corvane::test {

StreamRig::StreamRig()
{
    setenv("CORVANE_AUDIO", "manual", 1);
    CSoundStream::ResetStreamingState();
    m_device.SetWindow(&m_device);
    if (m_device.Start()) {
        corvane::platform::SetManualOutputFormat(m_device.GetDirectSound(), 44100, 2);
        std::uint32_t id = 99;
        m_device.CreateStream(kStreamSamples, &id);
    }
}

void StreamRig::Advance(DWORD frames)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    corvane::platform::PullMixedFrames(m_device.GetDirectSound(), out.data(), frames);
}

DWORD StreamRig::Cursor()
{
    DWORD play = 0;
    Buffer()->GetCurrentPosition(&play, nullptr);
    return play;
}

void StreamRig::MoveCursor(DWORD bytes)
{
    Buffer()->SetCurrentPosition(bytes);
}

bool StreamRig::Playing()
{
    DWORD status = 0;
    Buffer()->GetStatus(&status);
    return (status & DSBSTATUS_PLAYING) != 0;
}

std::vector<std::int16_t> StreamRig::Segment(DWORD i)
{
    std::vector<std::int16_t> samples(kSegmentBytes / 2);
    LPVOID p = nullptr;
    DWORD n = 0;
    if (Buffer()->Lock(i * kSegmentBytes, kSegmentBytes, &p, &n, nullptr, nullptr, 0) == DS_OK) {
        std::memcpy(samples.data(), p, n);
        Buffer()->Unlock(p, 0, nullptr, 0);
    }
    return samples;
}

std::vector<std::int16_t> Block(std::int16_t value)
{
    return std::vector<std::int16_t>(kSegmentBytes / 2, value);
}

} // namespace corvane::test
