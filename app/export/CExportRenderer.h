// Drives a panel's render cycle offline: pulls the mixed output in steps and ticks the panel
// exactly when the play cursor enters a segment, so every segment holds its new block before
// the mixer reads it - no stale segments, gaps or repeats, at any pitch.
#pragma once

#include "platform/dsound.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class CCorvaneFormView;

class CExportRenderer {
public:
    // Receives interleaved frames in order; returning false (with a reason) stops the render.
    using FrameSink = std::function<bool(const std::int16_t* samples, std::int64_t frames, QString* pError)>;
    // Told the number of frames done after each chunk.
    using ProgressSink = std::function<void(std::int64_t framesDone)>;

    // Clock step of one tick, 100 ns units: one block's 20 ms, above the panel's 15 ms interval.
    static constexpr std::int64_t kTickTime = 200000;
    static constexpr std::int64_t kChunkFrames = 8192;

    // `device` is the panel's manual mixer device mixing `channels` channels.
    CExportRenderer(CCorvaneFormView& panel, IDirectSound* device, int channels);

    // Renders `frames` output frames. The first call ticks the panel once for the segment
    // under the cursor. False with a one-line reason when the stream or the sink fails.
    bool Render(std::int64_t frames, const FrameSink& sink, const ProgressSink& progress, QString* pError);

    // Number of render ticks so far (each produced exactly one block).
    std::int64_t TickCount() const { return m_llTicks; }

private:
    bool Tick(QString* pError);
    // Output frames that can be mixed before the cursor could reach sample `boundary`.
    std::int64_t FramesBefore(DWORD cursorSample, DWORD boundary, DWORD rate) const;

    CCorvaneFormView& m_panel;
    IDirectSound* m_pDevice;
    int m_nChannels;
    std::int64_t m_llTime = 0;
    std::int64_t m_llTicks = 0;
    int m_nNextSegment = 0;
    std::vector<std::int16_t> m_chunk;
};
