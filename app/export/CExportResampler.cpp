// The export's rate conversion: one fixed-ratio libsoxr stream, 16-bit in and out.
#include "app/export/CExportResampler.h"

#include <soxr.h>

#include <algorithm>

namespace {
// Input frames rendered past the end, so that the last output frames come from sound rather
// than from the silence a drained filter is padded with (the filter reaches a few hundred).
constexpr std::int64_t kTailFrames = 4096;
} // namespace

CExportResampler::CExportResampler(std::int64_t totalFrames, std::int64_t maxChunkFrames, Sink sink)
    : m_llLeft(totalFrames), m_sink(std::move(sink)), m_nOutFrames(static_cast<std::size_t>(maxChunkFrames))
{
}

bool CExportResampler::Open(int inRate, int outRate, int channels, QString* pError)
{
    soxr_delete(m_pSoxr);
    m_nChannels = channels;
    m_out.assign(m_nOutFrames * static_cast<std::size_t>(channels), 0);
    // 16-bit in and out, rounded without dither so that a render is repeatable; 16-bit quality
    // (aliases and images about 96 dB down, passband to 0.91 of the lower Nyquist frequency).
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    io.flags |= SOXR_NO_DITHER;
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    m_pSoxr = soxr_create(inRate, outRate, static_cast<unsigned>(channels), &error, &io, &quality, &runtime);
    if (error != nullptr) {
        soxr_delete(m_pSoxr);
        m_pSoxr = nullptr;
        *pError = QStringLiteral("corvane: cannot convert %1 Hz to %2 Hz: %3").arg(inRate).arg(outRate).arg(error);
        return false;
    }
    return true;
}

CExportResampler::~CExportResampler()
{
    soxr_delete(m_pSoxr);
}

std::int64_t CExportResampler::InputFramesFor(std::int64_t totalFrames, int inRate, int outRate)
{
    return (totalFrames * inRate + outRate - 1) / outRate + kTailFrames;
}

bool CExportResampler::Pass(std::size_t frames, QString* pError)
{
    const auto n = std::min<std::int64_t>(static_cast<std::int64_t>(frames), m_llLeft);
    if (n <= 0)
        return true;
    m_llLeft -= n;
    return m_sink(m_out.data(), n, pError);
}

bool CExportResampler::Process(const std::int16_t* samples, std::int64_t frames, QString* pError)
{
    while (frames > 0) {
        std::size_t used = 0;
        std::size_t made = 0;
        const soxr_error_t error = soxr_process(m_pSoxr, samples, static_cast<std::size_t>(frames), &used,
                                                m_out.data(), m_nOutFrames, &made);
        if (error != nullptr) {
            *pError = QStringLiteral("corvane: the rate conversion failed: %1").arg(QString::fromUtf8(error));
            return false;
        }
        if (!Pass(made, pError))
            return false;
        if (used == 0 && made == 0) {
            *pError = QStringLiteral("corvane: the rate conversion stalled");
            return false;
        }
        samples += used * static_cast<std::size_t>(m_nChannels);
        frames -= static_cast<std::int64_t>(used);
    }
    return true;
}

bool CExportResampler::Finish(QString* pError)
{
    // A null input tells the library the sound ended: it gives out what its filter still holds.
    while (m_llLeft > 0) {
        std::size_t made = 0;
        const soxr_error_t error = soxr_process(m_pSoxr, nullptr, 0, nullptr, m_out.data(), m_nOutFrames, &made);
        if (error != nullptr || made == 0) {
            *pError = QStringLiteral("corvane: the rate conversion ended %1 frames short").arg(m_llLeft);
            return false;
        }
        if (!Pass(made, pError))
            return false;
    }
    return true;
}
