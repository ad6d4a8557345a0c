// The export's writer thread: a small ring of chunk buffers between the render loop and the file.
#include "app/export/CWriterThread.h"

#include <algorithm>

CWriterThread::CWriterThread(Sink sink, std::int64_t chunkFrames, int channels)
    : m_sink(std::move(sink)), m_nChannels(channels),
      m_buffers(kBuffers, std::vector<std::int16_t>(static_cast<std::size_t>(chunkFrames * channels))),
      m_frames(kBuffers, 0)
{
    m_thread = std::thread([this] { Run(); });
}

CWriterThread::~CWriterThread()
{
    QString ignored;
    Finish(&ignored);
}

bool CWriterThread::Push(const std::int16_t* samples, std::int64_t frames, QString* pError)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_nQueued < kBuffers || m_bFailed; });
    if (m_bFailed) {
        *pError = m_error;
        return false;
    }
    const std::size_t slot = (m_nHead + m_nQueued) % kBuffers;
    // A free slot: the thread only touches queued ones, so the copy cannot meet its reads.
    std::copy_n(samples, static_cast<std::size_t>(frames * m_nChannels), m_buffers[slot].begin());
    m_frames[slot] = frames;
    ++m_nQueued;
    m_changed.notify_all();
    return true;
}

bool CWriterThread::Finish(QString* pError)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bClosing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_bFailed)
        *pError = m_error;
    return !m_bFailed;
}

void CWriterThread::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_nQueued > 0 || m_bClosing; });
        if (m_nQueued == 0)
            return; // closing with nothing left
        const std::size_t slot = m_nHead;
        lock.unlock();
        QString error;
        const bool written = m_sink(m_buffers[slot].data(), m_frames[slot], &error);
        lock.lock();
        m_nHead = (m_nHead + 1) % kBuffers;
        --m_nQueued;
        if (!written) {
            m_bFailed = true;
            m_error = error;
            m_nQueued = 0; // later chunks are dropped
        }
        m_changed.notify_all();
        if (m_bFailed)
            return;
    }
}
