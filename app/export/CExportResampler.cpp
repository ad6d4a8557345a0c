// The export's rate conversion: fixed-ratio libsoxr streams for the middle and side of the mix.
#include "app/export/CExportResampler.h"

#include "platform/ClipSample.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
// More than the filter reaches, in input frames (a few hundred): rendered past the end, so
// that the last output frames come from sound rather than from the silence a drained filter is
// padded with; and fed to a converter that joins late, before the sound it is to convert.
constexpr std::int64_t kTailFrames = 4096;
} // namespace

CExportResampler::CExportResampler(std::int64_t totalFrames, std::int64_t maxChunkFrames, Sink sink)
    : m_llLeft(totalFrames), m_llMaxChunk(maxChunkFrames), m_sink(std::move(sink))
{
}

CExportResampler::~CExportResampler()
{
    soxr_delete(m_pMid);
    soxr_delete(m_pSide);
}

bool CExportResampler::Open(int inRate, int outRate, int channels, QString* pError)
{
    m_nChannels = channels;
    const auto chunk = static_cast<std::size_t>(m_llMaxChunk);
    // Room for what one call makes at up to 24 times the rate, and what waits for the other half.
    const std::size_t made = chunk * 25;
    m_mid.assign(chunk, 0.0f);
    m_side.assign(chunk, 0.0f);
    m_zeros.assign(chunk, 0.0f);
    m_made.assign(made, 0.0f);
    m_midOut.reserve(4 * made);
    m_sideOut.reserve(4 * made);
    m_out.assign(chunk * static_cast<std::size_t>(channels), 0);
    const std::int64_t common = std::gcd(inRate, outRate);
    m_llPeriodIn = inRate / common;
    m_llPeriodOut = outRate / common;
    // 16-bit quality: aliases and images about 96 dB down, passband to 0.91 of the lower
    // Nyquist frequency.
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    for (soxr** s : {&m_pMid, &m_pSide}) {
        soxr_error_t error = nullptr;
        *s = soxr_create(inRate, outRate, 1, &error, &io, &quality, &runtime);
        if (error != nullptr) {
            *pError = QStringLiteral("corvane: cannot convert %1 Hz to %2 Hz: %3").arg(inRate).arg(outRate).arg(error);
            return false;
        }
    }
    return true;
}

std::int64_t CExportResampler::InputFramesFor(std::int64_t totalFrames, int inRate, int outRate)
{
    return (totalFrames * inRate + outRate - 1) / outRate + kTailFrames;
}

bool CExportResampler::Convert(soxr* s, const float* in, std::size_t frames, std::vector<float>& out,
                               QString* pError)
{
    do {
        std::size_t used = 0;
        std::size_t made = 0;
        const soxr_error_t error = soxr_process(s, in, frames, in ? &used : nullptr, m_made.data(), m_made.size(), &made);
        if (error != nullptr) {
            *pError = QStringLiteral("corvane: the rate conversion failed: %1").arg(QString::fromUtf8(error));
            return false;
        }
        out.insert(out.end(), m_made.begin(), m_made.begin() + static_cast<std::ptrdiff_t>(made));
        if (!in)
            return true; // one call of the drain; the caller asks again while it needs more
        if (used == 0 && made == 0) {
            *pError = QStringLiteral("corvane: the rate conversion stalled");
            return false;
        }
        in += used;
        frames -= used;
    } while (frames > 0);
    return true;
}

bool CExportResampler::Emit(QString* pError)
{
    for (;;) {
        // Up to the side's first frame the side is silent; past it, only what both halves made.
        std::int64_t ready = static_cast<std::int64_t>(m_midOut.size());
        if (m_bSideStarted) {
            const std::int64_t late = std::min<std::int64_t>(std::max<std::int64_t>(m_llEmitted - m_llSideFirst, 0),
                                                             static_cast<std::int64_t>(m_sideOut.size()));
            // Side frames before what was already handed on come from before it started: silent.
            m_sideOut.erase(m_sideOut.begin(), m_sideOut.begin() + late);
            m_llSideFirst += late;
            ready = std::min(ready, m_llSideFirst + static_cast<std::int64_t>(m_sideOut.size()) - m_llEmitted);
        }
        const std::int64_t n = std::min(ready, m_llMaxChunk);
        if (n <= 0)
            return true;
        const std::int64_t pass = std::min(n, m_llLeft);
        const float* mid = m_midOut.data();
        std::int16_t* out = m_out.data();
        // Frames before the side's first one have none.
        const std::int64_t plain = m_bSideStarted ? std::clamp<std::int64_t>(m_llSideFirst - m_llEmitted, 0, pass) : pass;
        for (std::int64_t f = 0; f < plain; ++f) {
            const std::int16_t x = corvane::platform::ClipSample(mid[f]);
            for (int c = 0; c < m_nChannels; ++c)
                *out++ = x;
        }
        const float* side = plain < pass ? m_sideOut.data() + (m_llEmitted + plain - m_llSideFirst) : nullptr;
        for (std::int64_t f = plain; f < pass; ++f, ++side) {
            *out++ = corvane::platform::ClipSample(mid[f] + *side);
            *out++ = corvane::platform::ClipSample(mid[f] - *side);
        }
        if (pass > 0 && !m_sink(m_out.data(), pass, pError))
            return false;
        m_llLeft -= pass;
        m_midOut.erase(m_midOut.begin(), m_midOut.begin() + n);
        if (m_bSideStarted) {
            const std::int64_t used = std::clamp<std::int64_t>(m_llEmitted + n - m_llSideFirst, 0,
                                                                static_cast<std::int64_t>(m_sideOut.size()));
            m_sideOut.erase(m_sideOut.begin(), m_sideOut.begin() + used);
            m_llSideFirst += used;
        }
        m_llEmitted += n;
    }
}

bool CExportResampler::Process(const std::int16_t* samples, std::int64_t frames, QString* pError)
{
    while (frames > 0) {
        const auto n = static_cast<std::size_t>(std::min(frames, m_llMaxChunk));
        bool side = false;
        for (std::size_t f = 0; f < n; ++f) {
            if (m_nChannels == 1) {
                m_mid[f] = samples[f];
                continue;
            }
            const float l = samples[f * 2];
            const float r = samples[f * 2 + 1];
            m_mid[f] = (l + r) * 0.5f;
            m_side[f] = (l - r) * 0.5f;
            side = side || l != r;
        }
        if (side && !m_bSideStarted) {
            // The side converter starts fresh (a silent past, as the side's really was) on a
            // whole cycle of the ratio, so that its frames fall exactly on the middle's, and a
            // filter's reach before this chunk, so that it makes all the frames the chunk
            // touches; the middle has made none of those yet.
            const std::int64_t start = std::max<std::int64_t>(m_llIn - kTailFrames, 0) / m_llPeriodIn * m_llPeriodIn;
            for (std::int64_t zeros = m_llIn - start; zeros > 0;) {
                const auto z = static_cast<std::size_t>(std::min<std::int64_t>(zeros, m_llMaxChunk));
                if (!Convert(m_pSide, m_zeros.data(), z, m_sideOut, pError))
                    return false;
                zeros -= static_cast<std::int64_t>(z);
            }
            m_bSideStarted = true;
            m_llSideFirst = start / m_llPeriodIn * m_llPeriodOut;
        }
        if (!Convert(m_pMid, m_mid.data(), n, m_midOut, pError) ||
            (m_bSideStarted && !Convert(m_pSide, m_side.data(), n, m_sideOut, pError)) || !Emit(pError))
            return false;
        m_llIn += static_cast<std::int64_t>(n);
        samples += n * static_cast<std::size_t>(m_nChannels);
        frames -= static_cast<std::int64_t>(n);
    }
    return true;
}

bool CExportResampler::Finish(QString* pError)
{
    // A null input tells the library the sound ended: it gives out what its filter still holds.
    while (m_llLeft > 0) {
        const std::size_t before = m_midOut.size() + m_sideOut.size();
        if (!Convert(m_pMid, nullptr, 0, m_midOut, pError) ||
            (m_bSideStarted && !Convert(m_pSide, nullptr, 0, m_sideOut, pError)) || !Emit(pError))
            return false;
        if (m_llLeft > 0 && m_midOut.size() + m_sideOut.size() == before) {
            *pError = QStringLiteral("corvane: the rate conversion ended %1 frames short").arg(m_llLeft);
            return false;
        }
    }
    return true;
}
