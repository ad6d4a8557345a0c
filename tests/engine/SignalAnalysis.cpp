// Signal measurements for the engine tests.
#include "SignalAnalysis.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace engine_test {

namespace {

constexpr std::size_t kFrame = 4096;

void Fft(std::vector<std::complex<double>>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1.0;
            for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

} // namespace

double Rms(const std::vector<float>& signal)
{
    double sum = 0.0;
    for (float v : signal)
        sum += static_cast<double>(v) * v;
    return signal.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(signal.size()));
}

double BandDensity(const std::vector<float>& signal, double loHz, double hiHz)
{
    const double binHz = 44100.0 / kFrame;
    const auto lo = static_cast<std::size_t>(std::ceil(loHz / binHz));
    const auto hi = static_cast<std::size_t>(std::floor(hiHz / binHz));
    double sum = 0.0;
    std::size_t bins = 0;
    std::vector<std::complex<double>> frame(kFrame);
    for (std::size_t start = 0; start + kFrame <= signal.size(); start += kFrame) {
        for (std::size_t i = 0; i < kFrame; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kFrame);
            frame[i] = signal[start + i] * hann;
        }
        Fft(frame);
        for (std::size_t k = lo; k <= hi && k < kFrame / 2; ++k) {
            sum += std::norm(frame[k]);
            ++bins;
        }
    }
    return bins ? sum / static_cast<double>(bins) : 0.0;
}

double Db(double ratio)
{
    return 10.0 * std::log10(ratio);
}

} // namespace engine_test
