// The offline render loop: mix up to the next segment boundary, tick, repeat.
#include "app/export/CExportRenderer.h"

#include "audio/CSoundStream.h"
#include "panel/CCorvaneFormView.h"
#include "panel/ParameterMapping.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr DWORD kSegmentSamples = corvane::panel::kBlockSamples;
constexpr DWORD kStreamSamples = corvane::panel::kStreamSamples;
constexpr int kSegments = static_cast<int>(kStreamSamples / kSegmentSamples);
constexpr DWORD kBytesPerSample = 2; // the stream is 16-bit mono
} // namespace

CExportRenderer::CExportRenderer(CCorvaneFormView& panel, IDirectSound* device, int channels)
    : m_panel(panel), m_pDevice(device), m_nChannels(channels),
      m_chunk(static_cast<std::size_t>(kChunkFrames * channels))
{
}

bool CExportRenderer::Tick(QString* pError)
{
    m_llTime += kTickTime;
    // The render cycle of the panel's tick without its elapsed-time display: nobody sees the
    // hidden panel, and laying out that text for every block cost a tenth of the export.
    // Render shows the time once at its end.
    m_panel.RenderBlock(&m_llTime);
    ++m_llTicks;
    if (!m_panel.IsStreamAccepted()) {
        // Each tick comes as the cursor enters a new segment; a refusal means the stream and
        // this loop disagree about where the cursor is, and the file would repeat a block.
        *pError = QStringLiteral("corvane: the stream refused block %1; nothing was written").arg(m_llTicks);
        return false;
    }
    m_nNextSegment = (m_nNextSegment + 1) % kSegments;
    return true;
}

std::int64_t CExportRenderer::FramesBefore(DWORD cursorSample, DWORD boundary, DWORD rate) const
{
    DWORD frequency = 44100;
    m_panel.GetStream()->GetBuffer()->GetFrequency(&frequency);
    const double step = static_cast<double>(frequency) / rate; // stream samples per output frame
    const DWORD distance = (boundary + kStreamSamples - cursorSample) % kStreamSamples;
    // The cursor reads as whole samples and may stand up to one sample further on; frame j is
    // mixed at that position plus j steps and must stay before the boundary.
    return static_cast<std::int64_t>(std::floor((static_cast<double>(distance) - 1.0) / step)) + 1;
}

bool CExportRenderer::Render(std::int64_t frames, const FrameSink& sink, const ProgressSink& progress,
                             QString* pError)
{
    CSoundStream* stream = m_panel.GetStream();
    IDirectSoundBuffer* buffer = stream != nullptr ? stream->GetBuffer() : nullptr;
    WAVEFORMATEX format{};
    if (buffer == nullptr || FAILED(corvane::platform::GetOutputFormat(m_pDevice, &format))) {
        *pError = QStringLiteral("corvane: the panel has no output stream");
        return false;
    }
    if (m_llTicks == 0 && !Tick(pError)) {
        return false;
    }
    std::int64_t done = 0;
    std::int64_t filled = 0; // frames waiting in m_chunk
    while (done < frames) {
        DWORD play = 0;
        DWORD write = 0;
        if (FAILED(buffer->GetCurrentPosition(&play, &write))) {
            *pError = QStringLiteral("corvane: the stream lost its play position");
            return false;
        }
        const DWORD cursor = play / kBytesPerSample;
        if (static_cast<int>(cursor / kSegmentSamples) == m_nNextSegment) {
            if (!Tick(pError)) {
                return false;
            }
            continue;
        }
        const DWORD boundary = static_cast<DWORD>(m_nNextSegment) * kSegmentSamples;
        std::int64_t n = FramesBefore(cursor, boundary, format.nSamplesPerSec);
        n = std::min({n, frames - done, kChunkFrames - filled});
        std::int16_t* out = m_chunk.data() + filled * m_nChannels;
        if (corvane::platform::PullMixedFrames(m_pDevice, out, static_cast<DWORD>(n)) != static_cast<DWORD>(n)) {
            *pError = QStringLiteral("corvane: the mixer stopped delivering sound");
            return false;
        }
        filled += n;
        done += n;
        if (filled == kChunkFrames || done == frames) {
            if (!sink(m_chunk.data(), filled, pError)) {
                return false;
            }
            filled = 0;
            if (progress) {
                progress(done);
            }
        }
    }
    m_panel.ShowElapsedTime(&m_llTime);
    return true;
}
