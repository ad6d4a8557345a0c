// Shared by the engine tests: noise input, the panel's LFO tables, and measurements of
// rendered signals (RMS, band power density).
#pragma once

#include "engine/CRandomSource.h"
#include "engine/CWaveTable.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <numeric>
#include <vector>

namespace engine_test {

constexpr unsigned kBlock = 882;

inline std::vector<float> Noise(unsigned count, CRandomSource& random)
{
    std::vector<float> v(count);
    std::generate(v.begin(), v.end(), [&] { return random.Draw(); });
    return v;
}

// The panel's set-up: five 4096-entry tables with shapes 0..4, shared by the LFOs.
struct ShapeTables {
    std::vector<std::unique_ptr<CWaveTable>> owned;
    std::vector<CWaveTable*> list;
    ShapeTables()
    {
        for (unsigned k = 0; k < 5; ++k) {
            owned.push_back(std::make_unique<CWaveTable>());
            owned.back()->Allocate(4096);
            owned.back()->SetShape(k);
            list.push_back(owned.back().get());
        }
    }
};

inline double Rms(const std::vector<float>& s)
{
    return std::sqrt(std::inner_product(s.begin(), s.end(), s.begin(), 0.0) / static_cast<double>(s.size()));
}

// Mean power of 16 DFT bins spread over loHz..hiHz (44100 Hz), averaged over Hann-windowed
// 4096-sample frames. Arbitrary units: compare bands of the same signal.
inline double BandDensity(const std::vector<float>& signal, double loHz, double hiHz)
{
    constexpr std::size_t kFrame = 4096;
    std::vector<double> hann(kFrame);
    for (std::size_t i = 0; i < kFrame; ++i)
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kFrame);
    double sum = 0.0;
    for (int b = 0; b < 16; ++b) {
        const double bin = std::round((loHz + (hiHz - loHz) * b / 15.0) * kFrame / 44100.0);
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi * bin / kFrame);
        for (std::size_t start = 0; start + kFrame <= signal.size(); start += kFrame) {
            std::complex<double> acc = 0.0, rotor = 1.0;
            for (std::size_t i = 0; i < kFrame; ++i, rotor *= step)
                acc += rotor * (signal[start + i] * hann[i]);
            sum += std::norm(acc);
        }
    }
    return sum;
}

// Level of band 1 over band 2 in dB.
inline double BandRatioDb(const std::vector<float>& s, double lo1, double hi1, double lo2, double hi2)
{
    return 10.0 * std::log10(BandDensity(s, lo1, hi1) / BandDensity(s, lo2, hi2));
}

} // namespace engine_test
