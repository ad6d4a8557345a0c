// The lock that guards the stream registry: an unnamed kernel mutex, re-entrant for its owner.
#pragma once

#include "platform/kernel.h"

class CSyncLock {
public:
    CSyncLock();
    virtual ~CSyncLock();
    CSyncLock(const CSyncLock&) = delete;
    CSyncLock& operator=(const CSyncLock&) = delete;

    void Lock();   // waits without a time limit
    void Unlock();

private:
    HANDLE m_hMutex;
};
