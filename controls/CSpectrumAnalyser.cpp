// Spectrum pane analysis: ring of the newest samples, windowed FFT, averaged power, meter.
#include "controls/CSpectrumAnalyser.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {
constexpr double kPi = 3.141592653589793;
// Four-term Blackman-Harris: side lobes below -92 dB keep a dB display clean, and a sine
// between two bins loses at most 0.83 dB.
constexpr double kA0 = 0.35875, kA1 = 0.48829, kA2 = 0.14128, kA3 = 0.01168;

// In single precision, where log2 is quick: the pane asks for a level per pixel column.
float ToDb(double power)
{
    constexpr float kDbPerOctave = 3.01029996f; // 10 log10 2
    return power > 1e-20 ? kDbPerOctave * std::log2(static_cast<float>(power)) : CSpectrumAnalyser::kFloorDb;
}
} // namespace

CSpectrumAnalyser::CSpectrumAnalyser()
    : m_window(kFftSize)
    , m_ring(kFftSize, 0.0f)
    , m_power(kBins, 0.0)
{
    m_pIn = fftwf_alloc_real(kFftSize);
    auto* out = fftwf_alloc_complex(kBins);
    m_pOut = out;
    m_plan = fftwf_plan_dft_r2c_1d(kFftSize, m_pIn, out, FFTW_ESTIMATE);
    for (int n = 0; n < kFftSize; ++n) {
        const double x = 2.0 * kPi * n / kFftSize;
        m_window[static_cast<std::size_t>(n)] =
            static_cast<float>(kA0 - kA1 * std::cos(x) + kA2 * std::cos(2 * x) - kA3 * std::cos(3 * x));
    }
}

CSpectrumAnalyser::~CSpectrumAnalyser()
{
    fftwf_destroy_plan(static_cast<fftwf_plan>(m_plan));
    fftwf_free(m_pIn);
    fftwf_free(m_pOut);
}

template <typename Sample>
void CSpectrumAnalyser::Append(const Sample* samples, unsigned count, float scale)
{
    // In runs up to the ring's end, with the running sums in locals: a frame brings over a
    // thousand samples.
    float peak = m_fPendingPeak;
    double squares = m_fPendingSquares;
    m_nPending += count;
    while (count > 0) {
        const unsigned run = std::min(count, unsigned(kFftSize) - m_nWrite);
        float* to = m_ring.data() + m_nWrite;
        for (unsigned i = 0; i < run; ++i) {
            float x = 0.0f;
            if (samples)
                x = static_cast<float>(samples[i]) * scale;
            if constexpr (std::is_floating_point_v<Sample>)
                x = std::isfinite(x) ? x : 0.0f;
            to[i] = x;
            peak = std::max(peak, std::fabs(x));
            squares += static_cast<double>(x) * x;
        }
        if (samples)
            samples += run;
        count -= run;
        m_nWrite = (m_nWrite + run) % kFftSize;
    }
    m_fPendingPeak = peak;
    m_fPendingSquares = squares;
}

void CSpectrumAnalyser::AddSamples(const float* samples, unsigned count, float gain, double sampleRate)
{
    if (sampleRate > 0.0)
        m_fSampleRate = sampleRate;
    Append(samples, count, gain);
}

void CSpectrumAnalyser::AddPcm16(const std::int16_t* samples, unsigned count, float gain, double sampleRate)
{
    if (sampleRate > 0.0)
        m_fSampleRate = sampleRate;
    Append(samples, count, gain / 32768.0f);
}

void CSpectrumAnalyser::AddSilence(unsigned count)
{
    Append(static_cast<const float*>(nullptr), count, 0.0f);
}

void CSpectrumAnalyser::Analyse()
{
    // Oldest sample first, so the window sees the samples in time order.
    const int older = kFftSize - static_cast<int>(m_nWrite);
    const float* ring = m_ring.data();
    const float* window = m_window.data();
    for (int n = 0; n < older; ++n)
        m_pIn[n] = ring[static_cast<int>(m_nWrite) + n] * window[n];
    for (int n = older; n < kFftSize; ++n)
        m_pIn[n] = ring[n - older] * window[n];
    fftwf_execute(static_cast<fftwf_plan>(m_plan));

    const auto* out = static_cast<const fftwf_complex*>(m_pOut);
    // A sine of amplitude A gives |X| = A * N * a0 / 2 at its bin: scale that to A.
    const double norm = 2.0 / (kFftSize * kA0);
    const double weight = m_bFirstFrame ? 1.0 : kAverageWeight;
    for (int k = 0; k < kBins; ++k) {
        const double re = out[k][0] * norm;
        const double im = out[k][1] * norm;
        double& p = m_power[static_cast<std::size_t>(k)];
        p += weight * (re * re + im * im - p);
    }

    const double seconds = m_nPending / m_fSampleRate;
    if (m_nPending > 0) {
        const double blockSquare = m_fPendingSquares / m_nPending;
        const double share = m_bFirstFrame ? 1.0 : 1.0 - std::exp(-seconds / kRmsSeconds);
        m_fMeanSquare += share * (blockSquare - m_fMeanSquare);
    }
    const double fallen = m_fPeakDb - kPeakFallDbPerSecond * seconds;
    m_fPeakDb = static_cast<float>(std::max(static_cast<double>(ToDb(static_cast<double>(m_fPendingPeak) * m_fPendingPeak)),
                                            std::max(fallen, static_cast<double>(kFloorDb))));
    m_fRmsDb = static_cast<float>(ToDb(m_fMeanSquare));
    m_bFirstFrame = false;
    m_nPending = 0;
    m_fPendingPeak = 0.0f;
    m_fPendingSquares = 0.0;
}

void CSpectrumAnalyser::Reset()
{
    std::fill(m_ring.begin(), m_ring.end(), 0.0f);
    std::fill(m_power.begin(), m_power.end(), 0.0);
    m_nPending = 0;
    m_fPendingPeak = 0.0f;
    m_fPendingSquares = 0.0;
    m_fMeanSquare = 0.0;
    m_bFirstFrame = true;
    m_fPeakDb = kFloorDb;
    m_fRmsDb = kFloorDb;
}

double CSpectrumAnalyser::BinFrequency(int bin) const
{
    return bin * m_fSampleRate / kFftSize;
}

float CSpectrumAnalyser::BinLevelDb(int bin) const
{
    if (bin < 0 || bin >= kBins)
        return kFloorDb;
    return static_cast<float>(ToDb(m_power[static_cast<std::size_t>(bin)]));
}

float CSpectrumAnalyser::BandLevelDb(double f0, double f1) const
{
    const double binsPerHz = kFftSize / m_fSampleRate;
    const int first = std::max(0, static_cast<int>(std::ceil(f0 * binsPerHz)));
    const int last = std::min(kBins - 1, static_cast<int>(std::floor(f1 * binsPerHz)));
    if (first <= last) {
        double sum = 0.0;
        for (int k = first; k <= last; ++k)
            sum += m_power[static_cast<std::size_t>(k)];
        return static_cast<float>(ToDb(sum / (last - first + 1)));
    }
    // Narrower than a bin: between the two bins around the middle, in power.
    const double at = 0.5 * (f0 + f1) * binsPerHz;
    if (at > kBins - 1)
        return kFloorDb; // above what these samples can hold
    const int k = std::clamp(static_cast<int>(std::floor(at)), 0, kBins - 2);
    const double t = std::clamp(at - k, 0.0, 1.0);
    const double p = m_power[static_cast<std::size_t>(k)] * (1.0 - t) + m_power[static_cast<std::size_t>(k + 1)] * t;
    return static_cast<float>(ToDb(p));
}

int CSpectrumAnalyser::PeakBin(double minHz) const
{
    const int first = std::clamp(static_cast<int>(std::ceil(minHz * kFftSize / m_fSampleRate)), 0, kBins - 1);
    return static_cast<int>(std::max_element(m_power.begin() + first, m_power.end()) - m_power.begin());
}
