// The sound API stand-in on the manual back-end: what the mixer makes of playing buffers
// (level, pan, volume, rate, clipping, wraps and one-shot ends) and the buffer and back-end rules.
#include "ManualDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <thread>

using namespace platform_test;

namespace {

// RMS and rising zero crossings of one channel of interleaved stereo frames.
double Rms(const Samples& frames, int channel)
{
    double sum = 0;
    for (std::size_t i = channel; i < frames.size(); i += 2)
        sum += double(frames[i]) * frames[i];
    return std::sqrt(sum / double(frames.size() / 2));
}

int CrossingsUp(const Samples& frames, int channel)
{
    int n = 0;
    for (std::size_t i = channel + 2; i < frames.size(); i += 2)
        n += frames[i - 2] < 0 && frames[i] >= 0;
    return n;
}

class Mixer : public ::testing::Test, protected ManualDevice {
protected:
    Mixer() : ManualDevice(22050, 2) {}
};

} // namespace

TEST_F(Mixer, LevelPanAndVolume)
{
    // 441 Hz: 100 samples a period, so 4400 samples loop without a seam.
    IDirectSoundBuffer* b = Buffer(Sine(4400, 44, 20000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    auto out = Pull(2205);
    EXPECT_DOUBLE_EQ(Rms(out, 0), Rms(out, 1));
    EXPECT_NEAR(Rms(out, 0), 20000 / std::sqrt(2.0), 60);
    EXPECT_EQ(CrossingsUp(out, 0), 44); // 441 Hz for 100 ms
    EXPECT_FALSE(corvane::platform::IsOutputLost(ds)); // the manual output is never lost
    // Pan attenuates only the opposite channel, by hundredths of a decibel: pan, the channel
    // kept at full level, and its lead over the other in dB.
    for (auto [pan, kept, db, tolerance] : {std::tuple{-5000, 0, 50.0, 0.5}, {3000, 1, 30.0, 0.1}}) {
        ASSERT_EQ(b->SetPan(pan), DS_OK);
        out = Pull(2205);
        EXPECT_NEAR(Rms(out, kept), 20000 / std::sqrt(2.0), 60) << pan;
        EXPECT_NEAR(20 * std::log10(Rms(out, kept) / Rms(out, 1 - kept)), db, tolerance) << pan;
    }
    b->Stop();

    IDirectSoundBuffer* dc = Buffer(Samples(1000, 10000), 22050); // at the output rate: no filter
    dc->Play(0, 0, DSBPLAY_LOOPING);
    ASSERT_EQ(dc->SetVolume(-600), DS_OK);
    for (std::int16_t s : Pull(300))
        ASSERT_NEAR(s, 10000 * std::pow(10.0, -0.3), 1.0);
    ASSERT_EQ(dc->SetVolume(-10000), DS_OK);
    EXPECT_EQ(Pull(100), Samples(200, 0));
}

TEST_F(Mixer, FrequencyMovesTheCursorAndThePitch)
{
    // The cursor moves at the buffer's rate (it reads a few milliseconds ahead of what is
    // heard, in steps of a few frames); an octave up it moves twice as fast.
    IDirectSoundBuffer* b = Buffer(Sine(44100, 441, 10000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    // 100 ms: 4410 frames of 44100 Hz and 44 periods of 441 Hz; twice that an octave up.
    for (auto [hz, frames, crossings] : {std::tuple{44100u, 4410.0, 44}, {88200u, 8820.0, 88}}) {
        ASSERT_EQ(b->SetFrequency(hz), DS_OK);
        Pull(256);
        const DWORD from = Position(b);
        const auto out = Pull(2205);
        EXPECT_NEAR(double(Position(b) - from), frames * 2, 16) << hz;
        EXPECT_NEAR(CrossingsUp(out, 0), crossings, 1) << hz;
    }
}

// That buffers are summed shows sample for sample in the next test; here the sum's clipping.
TEST_F(Mixer, TheSumIsClippedAtFullScale)
{
    for (int copies = 0; copies < 2; ++copies)
        Buffer({30000, -30000}, 22050, 2)->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Pull(1), (Samples{32767, -32768}));
}

TEST_F(Mixer, AtTheOutputRateLoopingAndOneShotBuffersPlaySampleForSample)
{
    // A looping mono buffer started near its end: 600 frames cross chunks and two wraps.
    Samples ramp(300);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(i * 97 - 14000);
    IDirectSoundBuffer* loop = Buffer(ramp, 22050);
    ASSERT_EQ(loop->SetCurrentPosition(250 * 2), DS_OK);
    loop->Play(0, 0, DSBPLAY_LOOPING);
    // A stereo one-shot of 100 frames that ends inside the first chunk.
    Samples pair;
    for (int i = 0; i < 100; ++i)
        pair.insert(pair.end(), {static_cast<std::int16_t>(1000 + i), static_cast<std::int16_t>(-2000 - i)});
    IDirectSoundBuffer* once = Buffer(pair, 22050, 2);
    once->Play(0, 0, 0);
    const Samples out = Pull(600);
    for (int f = 0; f < 600; ++f) {
        const int expected = ramp[(250 + f) % 300];
        ASSERT_EQ(out[f * 2], expected + (f < 100 ? 1000 + f : 0)) << f;
        ASSERT_EQ(out[f * 2 + 1], expected + (f < 100 ? -2000 - f : 0)) << f;
    }
    EXPECT_EQ(Position(loop), (250 + 600) % 300 * 2u);
    EXPECT_EQ(Position(once), 100 * 4u); // the cursor rests at the end
    EXPECT_FALSE(Playing(once));
}

TEST_F(Mixer, OutOfRangeControlValuesAreRejectedAndChangeNothing)
{
    IDirectSoundBuffer* b = Buffer(Samples(64), 44100);
    LONG v = 0;
    DWORD f = 0;
    // Each control takes both ends of its range, refuses anything beyond, and a refusal keeps
    // the last value set.
    const struct { std::function<HRESULT(long)> set; std::function<long()> get; long low, high; } controls[] = {
        {[&](long x) { return b->SetVolume(x); }, [&] { return b->GetVolume(&v), long(v); }, -10000, 0},
        {[&](long x) { return b->SetPan(x); }, [&] { return b->GetPan(&v), long(v); }, -10000, 10000},
        {[&](long x) { return b->SetFrequency(DWORD(x)); }, [&] { return b->GetFrequency(&f), long(f); }, 100, 100000},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.high);
        EXPECT_EQ(c.set(c.low), DS_OK);
        EXPECT_EQ(c.set(c.high), DS_OK);
        for (long bad : {c.low - 1, c.high + 1, c.low - 5000})
            EXPECT_EQ(c.set(bad), DSERR_INVALIDPARAM) << bad;
        EXPECT_EQ(c.get(), c.high);
    }
    EXPECT_EQ(b->SetCurrentPosition(128), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFormat(nullptr), DSERR_INVALIDCALL);
}

TEST_F(Mixer, LockHandsOutOneRegionAndUnlockStoresOnlyWhatWasWritten)
{
    IDirectSoundBuffer* b = Buffer({1, 2, 3, 4, 5, 6, 7, 8}, 44100);
    LPVOID p = nullptr, other = nullptr;
    DWORD n = 0;
    const auto at = [](LPVOID region, int i) -> std::int16_t& { return static_cast<std::int16_t*>(region)[i]; };
    // Without a second region the lock is cut at the end of the buffer.
    ASSERT_EQ(b->Lock(12, 8, &p, &n, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(at(p, 0), 7);
    EXPECT_EQ(b->Lock(0, 2, &other, &n, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    at(p, 0) = 70;
    at(p, 1) = 80;
    ASSERT_EQ(b->Unlock(p, 2, nullptr, 0), DS_OK); // only the first sample counts
    ASSERT_EQ(b->Lock(0, 16, &p, &n, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n, 16u);
    EXPECT_EQ(at(p, 6), 70);
    EXPECT_EQ(at(p, 7), 8);
    b->Unlock(p, 0, nullptr, 0);
}

// The manual back-end, reached through CORVANE_AUDIO, is what every panel test plays through.
TEST(MixerBackEnd, NoneHasNoDriverAndMixesNothing)
{
    IDirectSound* none = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::None);
    EXPECT_EQ(none->Initialize(nullptr), DSERR_NODRIVER);
    std::int16_t frame[2] = {};
    EXPECT_EQ(corvane::platform::PullMixedFrames(none, frame, 1), 0u);
    none->Release();
}

// Under ThreadSanitizer this shows the GUI-side calls and the output thread share no unguarded
// state; in any build the output stays the sum of what was written, clipped, never garbage.
TEST_F(Mixer, OutputThreadAndCallerInterleaveSafely)
{
    IDirectSoundBuffer* b = Buffer(Sine(7056, 70.56, 8000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    std::atomic<bool> done{false};
    std::atomic<long> pulled{0};
    std::atomic<int> wrongCount{0}, loudest{0};
    std::thread output([&] {
        std::int16_t frames[2 * 128];
        for (; !done; ++pulled) {
            if (corvane::platform::PullMixedFrames(ds, frames, 128) != 128)
                ++wrongCount;
            for (std::int16_t s : frames)
                loudest = std::max<int>(loudest, std::abs(s));
        }
    });
    const Samples block(882, 1234);
    // Go on until both sides have done a fair amount of work while the other was running,
    // and the output has been heard (on a busy machine its thread may start late, after a
    // one-shot play has already ended).
    for (int i = 0; i < 2000 || pulled < 200 || (loudest == 0 && i < 1000000); ++i) {
        LPVOID p = nullptr;
        DWORD n = 0;
        if (b->Lock(Position(b) / 1764 * 1764, 1764, &p, &n, nullptr, nullptr, 0) == DS_OK) {
            std::memcpy(p, block.data(), n);
            b->Unlock(p, n, nullptr, 0);
        }
        b->SetVolume(-(i % 10000));
        b->SetPan(i % 2 ? 3000 : -3000);
        b->SetFrequency(22050 + static_cast<DWORD>(i));
        if (i % 100 == 0)
            b->Play(0, 0, i % 200 ? DSBPLAY_LOOPING : 0);
    }
    done = true;
    output.join();
    EXPECT_EQ(wrongCount, 0);
    // A sine of 8000 or blocks of 1234, attenuated or panned: at most the resampler's
    // overshoot above the loudest input, never a full-scale burst. A block pasted over the
    // sine jumps by up to 9234, and a band-limited resampler rings by up to about an eighth of
    // a jump, so the bound leaves room for that.
    EXPECT_LE(loudest, 10000);
    EXPECT_GT(loudest, 0);
}
