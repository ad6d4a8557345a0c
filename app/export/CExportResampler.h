// Converts the mixed sound from the mixer's rate to the file's rate (libsoxr, one fixed ratio
// for the whole render) and hands on exactly the file's frames.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

struct soxr;

class CExportResampler {
public:
    // Receives interleaved frames at the file's rate, in order; false (with a reason) stops.
    using Sink = std::function<bool(const std::int16_t* samples, std::int64_t frames, QString* pError)>;

    // At most `totalFrames` output frames reach `sink`, in calls of at most `maxChunkFrames`;
    // Process takes at most that many input frames a call.
    CExportResampler(std::int64_t totalFrames, std::int64_t maxChunkFrames, Sink sink);
    ~CExportResampler();
    CExportResampler(const CExportResampler&) = delete;
    CExportResampler& operator=(const CExportResampler&) = delete;

    // Makes the converter from `inRate` to `outRate` Hz for 1 or 2 interleaved channels (it
    // allocates here, none while converting); false with a one-line reason.
    bool Open(int inRate, int outRate, int channels, QString* pError);

    // Input frames to feed for `totalFrames` output frames of real sound: the converter's filter
    // reaches a little past the last frame it makes.
    static std::int64_t InputFramesFor(std::int64_t totalFrames, int inRate, int outRate);

    // Converts `frames` input frames and passes on what comes out; false with the reason when
    // the converter or the sink fails.
    bool Process(const std::int16_t* samples, std::int64_t frames, QString* pError);
    // Drains the filter; false when fewer than `totalFrames` frames came out in all.
    bool Finish(QString* pError);

private:
    // Feeds `frames` of `in` (null: the end) to `s` and appends what comes out to `out`.
    bool Convert(soxr* s, const float* in, std::size_t frames, std::vector<float>& out, QString* pError);
    // Hands on the frames both halves have made.
    bool Emit(QString* pError);

    int m_nChannels = 1;
    std::int64_t m_llLeft; // output frames still to hand on
    std::int64_t m_llMaxChunk;
    Sink m_sink;
    // A stereo mix is converted as its middle (L + R) / 2 and its side (L - R) / 2. A centred
    // mix has no side: its converter starts only when one appears, so that most renders convert
    // one channel instead of two.
    soxr* m_pMid = nullptr;
    soxr* m_pSide = nullptr;
    bool m_bSideStarted = false;
    std::int64_t m_llPeriodIn = 1; // input and output frames of one whole cycle of the ratio
    std::int64_t m_llPeriodOut = 1;
    std::int64_t m_llIn = 0;       // input frames taken so far
    std::int64_t m_llEmitted = 0;  // output frames handed on (or dropped past the end)
    std::int64_t m_llSideFirst = 0; // output frame of m_sideOut's first frame
    std::vector<float> m_mid, m_side, m_zeros, m_made, m_midOut, m_sideOut;
    std::vector<std::int16_t> m_out;
};
