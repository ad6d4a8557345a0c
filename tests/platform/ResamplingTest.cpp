// The mixer's rate conversion as a listener hears it: aliases and images, the top octave kept,
// bit-exact output at the native rate, and pitch changes without clicks.
#include "ManualDevice.h"
#include "tests/support/ToneResidue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

using namespace platform_test;

namespace {

constexpr double kPi = std::numbers::pi;

// A 44100 Hz loop with frequency control only: no volume or pan stage stands between the
// samples and the output.
IDirectSoundBuffer* Loop(ManualDevice& device, const Samples& samples)
{
    IDirectSoundBuffer* b = device.Buffer(samples, 44100, 1, DSBCAPS_CTRLFREQUENCY);
    b->Play(0, 0, DSBPLAY_LOOPING);
    return b;
}

// Share of the energy above `hz`, from Hann-windowed DFTs of 1024-frame pieces.
double ShareAbove(const Samples& y, double hz, double rate)
{
    constexpr std::size_t kN = 1024;
    double above = 0, all = 0;
    for (std::size_t start = 0; start + kN <= y.size(); start += kN)
        for (std::size_t k = 1; k < kN / 2; ++k) {
            std::complex<double> acc = 0;
            for (std::size_t i = 0; i < kN; ++i)
                acc += std::polar(y[start + i] * (0.5 - 0.5 * std::cos(2 * kPi * i / kN)),
                                  -2 * kPi * double(k * i % kN) / kN);
            all += std::norm(acc);
            above += k * rate / kN > hz ? std::norm(acc) : 0.0;
        }
    return above / all;
}

// The largest second difference: what a click shows as.
double Worst(const Samples& y)
{
    double w = 0;
    for (std::size_t i = 1; i + 1 < y.size(); ++i)
        w = std::max(w, std::abs(y[i + 1] - 2.0 * y[i] + y[i - 1]));
    return w;
}

} // namespace

TEST(Resampling, ATopOctaveToneAtPitch13LeavesNoAliasWithin70Db)
{
    // 15 kHz in a 44100 Hz loop (whole periods: 15000/44100 = 50/147), played at 57330 Hz
    // into 48000 Hz: a 19.5 kHz tone, its images folded back by a poor converter. And 5 kHz
    // (50/441) at the same pitch into 22050 Hz, a ratio only the variable-rate engine serves.
    const struct { DWORD rate, period, cycles; double tone; } cases[] = {{48000, 147, 50, 19500},
                                                                        {22050, 441, 50, 6500}};
    for (const auto& c : cases) {
        ManualDevice device(c.rate, 1);
        Loop(device, Sine(c.period * 20, c.cycles * 20, 16000))->SetFrequency(57330);
        device.Pull(4800);
        const double residue = ResidueDb(device.Pull(9600), c.tone, c.rate);
        EXPECT_LT(residue, -70.0) << c.rate;
        std::printf("[ measured ] %.0f Hz at pitch 1.3 into %u Hz: all else %.1f dB below\n", c.tone, c.rate, -residue);
    }
}

TEST(Resampling, HighPassedNoiseKeepsItsTopOctaveAt48000Hz)
{
    ManualDevice device(48000, 1);
    Loop(device, BrightNoise(44100));
    const double share = ShareAbove(device.Pull(8192), 12000, 48000);
    EXPECT_GT(share, 0.30);
    std::printf("[ measured ] SV high-pass 8 kHz noise at 48000 Hz: %.0f %% above 12 kHz\n", share * 100);
}

TEST(Resampling, PitchChangesGlideWithoutClicksAndPitchOneIsBitExactAgain)
{
    // 1 kHz into a 44100 Hz output, starting at pitch 1 (its bit-exact pass-through from the
    // first sample: Mixer.AtTheOutputRateLoopingAndOneShotBuffersPlaySampleForSample); the
    // pitch then steps every block, away from 1 and back, and no sample may jump more than a
    // sine of the highest pitch can (its second difference is at most peak * (2 pi f / rate)^2).
    const Samples tone = Sine(4410, 100, 12000);
    ManualDevice device(44100, 1), other(48000, 1);
    const auto steps = [](ManualDevice& d, IDirectSoundBuffer* b, Samples out, int blocks,
                          std::initializer_list<DWORD> rates) {
        for (DWORD hz : rates)
            for (int block = 0; block < blocks; ++block) {
                b->SetFrequency(hz);
                const auto more = d.Pull(300);
                out.insert(out.end(), more.begin(), more.end());
            }
        return out;
    };
    IDirectSoundBuffer* b = Loop(device, tone);
    const Samples out = steps(device, b, device.Pull(1000), 4,
                              {44100, 45000, 46300, 44100, 44100, 47000, 43000, 44100, 44100, 44100});
    EXPECT_LT(Worst(out), 1.2 * 12000 * std::pow(2 * kPi * 1000 * 47000.0 / 44100 / 44100, 2) + 2);
    // At 48000 Hz every rate holds long enough for the fixed-ratio engine to take over, and
    // each step hands back to the variable-rate one: neither hand-over may click.
    const Samples handed = steps(other, Loop(other, tone), {}, 7, {44100, 45000, 46300, 45000, 43000, 44100});
    EXPECT_LT(Worst(handed), 1.2 * 12000 * std::pow(2 * kPi * 1000 * 46300.0 / 44100 / 48000, 2) + 2);

    // Back at pitch 1 the tone's own samples come out again, unfiltered: all 500 are a run of
    // the loop (twice over, for a run across its end).
    Samples twice = tone;
    twice.insert(twice.end(), tone.begin(), tone.end());
    const auto again = device.Pull(500);
    EXPECT_NE(std::search(twice.begin(), twice.end(), again.begin(), again.end()), twice.end());
}
