// The mixer's rate conversion as a listener hears it: aliases and images, the top octave kept,
// bit-exact output at the native rate, and pitch changes without clicks.
#include "ManualDevice.h"
#include "engine/CRandomSource.h"
#include "engine/CSvFilter.h"
#include "platform/dsound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;
constexpr double kPi = std::numbers::pi;

struct Device : platform_test::ManualDevice {
    explicit Device(DWORD rate, WORD channels = 1) : ManualDevice(rate, channels) {}
    // Frequency control only: no volume or pan stage stands between the samples and the output.
    IDirectSoundBuffer* Loop(const Samples& samples, DWORD rate)
    {
        IDirectSoundBuffer* b = Buffer(samples, rate, 1, DSBCAPS_CTRLFREQUENCY);
        b->Play(0, 0, DSBPLAY_LOOPING);
        return b;
    }
    std::vector<double> Pull(DWORD frames)
    {
        Samples out(frames);
        corvane::platform::PullMixedFrames(ds, out.data(), frames);
        return {out.begin(), out.end()};
    }
};

Samples Sine(std::size_t count, double cycles, double peak)
{
    Samples s(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<std::int16_t>(std::lrint(peak * std::sin(2 * kPi * cycles * i / count)));
    return s;
}

// Everything that is not a tone at `hz`, in dB below the tone: least squares takes out the
// tone (any level and phase), what is left are the aliases, images and noise.
double ResidueDb(const std::vector<double>& y, double hz, double rate)
{
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (std::size_t n = 0; n < y.size(); ++n) {
        const double s = std::sin(2 * kPi * hz * n / rate), c = std::cos(2 * kPi * hz * n / rate);
        ss += s * s, cc += c * c, sc += s * c, ys += y[n] * s, yc += y[n] * c;
    }
    const double det = ss * cc - sc * sc, a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
    double rest = 0, tone = 0;
    for (std::size_t n = 0; n < y.size(); ++n) {
        const double t = a * std::sin(2 * kPi * hz * n / rate) + b * std::cos(2 * kPi * hz * n / rate);
        rest += (y[n] - t) * (y[n] - t);
        tone += t * t;
    }
    return 10 * std::log10(rest / tone);
}

// Share of the energy above `hz`, from Hann-windowed DFTs of 1024-frame pieces.
double ShareAbove(const std::vector<double>& y, double hz, double rate)
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

} // namespace

TEST(Resampling, ATopOctaveToneAtPitch13LeavesNoAliasWithin70Db)
{
    // 15 kHz in a 44100 Hz loop (whole periods: 15000/44100 = 50/147), played at 57330 Hz
    // into 48000 Hz: a 19.5 kHz tone, its images folded back by a poor converter. And 5 kHz
    // (50/441) at the same pitch into 22050 Hz, a ratio only the variable-rate engine serves.
    const struct { DWORD rate, period, cycles; double tone; } cases[] = {{48000, 147, 50, 19500},
                                                                        {22050, 441, 50, 6500}};
    for (const auto& c : cases) {
        Device device(c.rate);
        device.Loop(Sine(c.period * 20, c.cycles * 20, 16000), 44100)->SetFrequency(57330);
        device.Pull(4800);
        const double residue = ResidueDb(device.Pull(9600), c.tone, c.rate);
        EXPECT_LT(residue, -70.0) << c.rate;
        std::printf("[ measured ] %.0f Hz at pitch 1.3 into %u Hz: all else %.1f dB below\n", c.tone, c.rate, -residue);
    }
}

TEST(Resampling, HighPassedNoiseKeepsItsTopOctaveAt48000Hz)
{
    CRandomSource random;
    CSvFilter filter;
    filter.SetType(CSvFilter::HighPass);
    filter.SetFrequency(8000.0f);
    std::vector<float> noise(44100);
    for (float& x : noise)
        x = random.Draw() * 0.5f;
    filter.Process(noise.data(), static_cast<unsigned>(noise.size()));
    Samples loop(noise.size());
    for (std::size_t i = 0; i < loop.size(); ++i)
        loop[i] = static_cast<std::int16_t>(std::lrint(noise[i] * 30000.0f));

    Device device(48000);
    device.Loop(loop, 44100);
    const double share = ShareAbove(device.Pull(8192), 12000, 48000);
    EXPECT_GT(share, 0.30);
    std::printf("[ measured ] SV high-pass 8 kHz noise at 48000 Hz: %.0f %% above 12 kHz\n", share * 100);
}

TEST(Resampling, PitchChangesGlideWithoutClicksAndPitchOneIsBitExactAgain)
{
    // 1 kHz into a 44100 Hz output: pitch 1 passes the samples as they are; the pitch then
    // steps every block, away from 1 and back, and no sample may jump more than a sine of
    // the highest pitch can (its second difference is at most peak * (2 pi f / rate)^2).
    const Samples tone = Sine(4410, 100, 12000);
    Device device(44100);
    IDirectSoundBuffer* b = device.Loop(tone, 44100);
    std::vector<double> out = device.Pull(1000);
    for (std::size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], tone[i]) << i;
    const auto steps = [](Device& d, IDirectSoundBuffer* b, std::vector<double>& out, int blocks,
                          std::initializer_list<DWORD> rates) {
        for (DWORD hz : rates)
            for (int block = 0; block < blocks; ++block) {
                b->SetFrequency(hz);
                const auto more = d.Pull(300);
                out.insert(out.end(), more.begin(), more.end());
            }
    };
    const auto worst = [](const std::vector<double>& y) {
        double w = 0;
        for (std::size_t i = 1; i + 1 < y.size(); ++i)
            w = std::max(w, std::abs(y[i + 1] - 2 * y[i] + y[i - 1]));
        return w;
    };
    steps(device, b, out, 4, {44100, 45000, 46300, 44100, 44100, 47000, 43000, 44100, 44100, 44100});
    EXPECT_LT(worst(out), 1.2 * 12000 * std::pow(2 * kPi * 1000 * 47000.0 / 44100 / 44100, 2) + 2);
    // At 48000 Hz every rate holds long enough for the fixed-ratio engine to take over, and
    // each step hands back to the variable-rate one: neither hand-over may click.
    Device other(48000);
    std::vector<double> handed;
    steps(other, other.Loop(tone, 44100), handed, 7, {44100, 45000, 46300, 45000, 43000, 44100});
    EXPECT_LT(worst(handed), 1.2 * 12000 * std::pow(2 * kPi * 1000 * 46300.0 / 44100 / 48000, 2) + 2);

    // Back at pitch 1 the tone's own samples come out again, unfiltered.
    const auto again = device.Pull(500);
    std::size_t match = 0;
    while (match < tone.size() && (again[0] != tone[match] || again[1] != tone[(match + 1) % tone.size()] ||
                                   again[2] != tone[(match + 2) % tone.size()]))
        ++match;
    ASSERT_LT(match, tone.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        ASSERT_EQ(again[i], tone[(match + i) % tone.size()]) << i;
}
