// Writes rendered chunks on a thread of its own, in order, so the file is written while the next chunk renders.
#pragma once

#include <QString>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CWriterThread {
public:
    // Receives interleaved frames in order; returning false (with a reason) fails the writer.
    using Sink = std::function<bool(const std::int16_t* samples, std::int64_t frames, QString* pError)>;

    // Chunks of up to `chunkFrames` frames of `channels` channels, gathered into larger buffers
    // so the thread wakes less often, and handed to the sink one by one as they came (an
    // encoder may depend on the call sizes). The buffers are made here, none while writing.
    CWriterThread(Sink sink, std::int64_t chunkFrames, int channels);
    ~CWriterThread(); // waits for the chunks already handed over
    CWriterThread(const CWriterThread&) = delete;
    CWriterThread& operator=(const CWriterThread&) = delete;

    // Copies a chunk for the thread, waiting while every buffer is still queued. False with the
    // sink's reason once it has failed (nothing more is written).
    bool Push(const std::int16_t* samples, std::int64_t frames, QString* pError);
    // Hands over the last partly filled buffer, waits until everything is written and stops
    // the thread; false with the sink's reason.
    bool Finish(QString* pError);

private:
    static constexpr std::size_t kBuffers = 4;
    static constexpr std::int64_t kChunksPerBuffer = 8;
    void Run();
    std::size_t FillSlot() const { return (m_nHead + m_nQueued) % kBuffers; }
    void QueueFill(); // lock held, the fill slot holds at least one chunk

    Sink m_sink;
    int m_nChannels;
    std::int64_t m_llCapacity; // frames per buffer
    std::vector<std::vector<std::int16_t>> m_buffers;
    std::vector<std::vector<std::int64_t>> m_chunks; // per buffer: the frames of each Push
    std::size_t m_nHead = 0;  // next buffer to write
    std::size_t m_nQueued = 0;
    std::int64_t m_llFill = 0; // frames in the slot being filled
    bool m_bClosing = false;
    bool m_bFailed = false;
    QString m_error;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};
