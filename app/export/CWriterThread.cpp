// The export's writer thread: a small ring of chunk buffers between the render loop and the file.
#include "app/export/CWriterThread.h"

#include <algorithm>

#include <pthread.h>
#include <signal.h>

CWriterThread::CWriterThread(Sink sink, std::int64_t chunkFrames, int channels)
    : m_sink(std::move(sink)), m_nChannels(channels), m_llCapacity(chunkFrames * kChunksPerBuffer),
      m_buffers(kBuffers, std::vector<std::int16_t>(static_cast<std::size_t>(m_llCapacity * channels))),
      m_chunks(kBuffers)
{
    for (std::vector<std::int64_t>& sizes : m_chunks)
        sizes.reserve(kChunksPerBuffer);
    // The thread starts with every signal blocked, so Ctrl-C always reaches the render loop's
    // thread (which stops the export) and never interrupts a write of this one.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

CWriterThread::~CWriterThread()
{
    QString ignored;
    Finish(&ignored);
}

void CWriterThread::QueueFill()
{
    ++m_nQueued;
    m_llFill = 0;
    m_changed.notify_all();
}

bool CWriterThread::Push(const std::int16_t* samples, std::int64_t frames, QString* pError)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (frames > 0) {
        m_changed.wait(lock, [this] { return m_nQueued < kBuffers || m_bFailed; });
        if (m_bFailed) {
            *pError = m_error;
            return false;
        }
        // A chunk is never split across buffers: the sink gets the calls it would have got.
        const std::int64_t n = std::min(frames, m_llCapacity);
        if (m_llFill + n > m_llCapacity) {
            QueueFill();
            continue;
        }
        // The slot being filled is not queued yet, so the thread never reads it meanwhile.
        const std::size_t slot = FillSlot();
        if (m_llFill == 0)
            m_chunks[slot].clear();
        std::copy_n(samples, static_cast<std::size_t>(n * m_nChannels),
                    m_buffers[slot].begin() + m_llFill * m_nChannels);
        m_chunks[slot].push_back(n);
        m_llFill += n;
        samples += n * m_nChannels;
        frames -= n;
        if (m_llFill == m_llCapacity)
            QueueFill();
    }
    return true;
}

bool CWriterThread::Finish(QString* pError)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_llFill > 0 && !m_bFailed && !m_bClosing)
            QueueFill(); // there is room: the thread empties every slot before it ends
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
        bool written = true;
        const std::int16_t* samples = m_buffers[slot].data();
        for (std::size_t i = 0; i < m_chunks[slot].size() && written; ++i) {
            written = m_sink(samples, m_chunks[slot][i], &error);
            samples += m_chunks[slot][i] * m_nChannels;
        }
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
