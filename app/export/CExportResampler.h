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

    // At most `totalFrames` output frames reach `sink`, in calls of at most `maxChunkFrames`.
    CExportResampler(std::int64_t totalFrames, std::int64_t maxChunkFrames, Sink sink);
    ~CExportResampler();
    CExportResampler(const CExportResampler&) = delete;
    CExportResampler& operator=(const CExportResampler&) = delete;

    // Makes the converter from `inRate` to `outRate` Hz for `channels` interleaved channels
    // (it allocates here, none while converting); false with a one-line reason.
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
    bool Pass(std::size_t frames, QString* pError);

    soxr* m_pSoxr = nullptr;
    int m_nChannels = 1;
    std::int64_t m_llLeft; // output frames still to hand on
    Sink m_sink;
    std::vector<std::int16_t> m_out;
    std::size_t m_nOutFrames;
};
