// The lock that guards the stream registry: an unnamed kernel mutex, re-entrant for its owner.
#include "audio/CSyncLock.h"

CSyncLock::CSyncLock() : m_hMutex(CreateMutexA(nullptr, FALSE, nullptr)) {}

CSyncLock::~CSyncLock()
{
    if (m_hMutex)
        CloseHandle(m_hMutex);
}

void CSyncLock::Lock()
{
    WaitForSingleObject(m_hMutex, INFINITE);
}

void CSyncLock::Unlock()
{
    ReleaseMutex(m_hMutex);
}
