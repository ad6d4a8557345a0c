// Measurements the engine tests make on rendered signals: RMS and band power density.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace engine_test {

inline double Rms(const std::vector<float>& signal)
{
    double sum = 0.0;
    for (float v : signal)
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(signal.size()));
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

inline double Db(double ratio)
{
    return 10.0 * std::log10(ratio);
}

} // namespace engine_test
