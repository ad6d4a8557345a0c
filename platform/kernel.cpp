// Kernel stand-ins over the standard library.
#include "platform/kernel.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex g_sourceMutex;
std::function<std::int64_t()> g_ticks;
std::int64_t g_frequency = 0;

std::mutex g_debugMutex;
std::function<void(const std::string&)> g_debugSink;

struct KernelMutex {
    std::recursive_timed_mutex mutex;
};

constexpr std::size_t kPage = 4096;

} // namespace

namespace corvane::platform {

void SetPerformanceCounterSource(std::function<std::int64_t()> ticks, std::int64_t frequency)
{
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    g_ticks = std::move(ticks);
    g_frequency = frequency;
}

void SetDebugOutputSink(std::function<void(const std::string&)> sink)
{
    std::lock_guard<std::mutex> lock(g_debugMutex);
    g_debugSink = std::move(sink);
}

} // namespace corvane::platform

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_sourceMutex);
        if (g_ticks) {
            count->QuadPart = g_ticks();
            return TRUE;
        }
    }
    count->QuadPart = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    frequency->QuadPart = g_ticks ? g_frequency : 1'000'000'000;
    return frequency->QuadPart != 0 ? TRUE : FALSE;
}

HANDLE CreateMutexA(void*, BOOL initialOwner, LPCSTR)
{
    auto* m = new KernelMutex;
    if (initialOwner)
        m->mutex.lock();
    return m;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    if (!handle)
        return WAIT_FAILED;
    auto* m = static_cast<KernelMutex*>(handle);
    if (milliseconds == INFINITE) {
        m->mutex.lock();
        return WAIT_OBJECT_0;
    }
    return m->mutex.try_lock_for(std::chrono::milliseconds(milliseconds)) ? WAIT_OBJECT_0
                                                                          : WAIT_TIMEOUT;
}

BOOL ReleaseMutex(HANDLE handle)
{
    if (!handle)
        return FALSE;
    static_cast<KernelMutex*>(handle)->mutex.unlock();
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!handle)
        return FALSE;
    delete static_cast<KernelMutex*>(handle);
    return TRUE;
}

LPVOID VirtualAlloc(LPVOID, std::size_t size, DWORD allocationType, DWORD)
{
    // A size within a page of the top would round up past it to a tiny block.
    if (size == 0 || size > SIZE_MAX - kPage || !(allocationType & MEM_COMMIT))
        return nullptr;
    const std::size_t rounded = (size + kPage - 1) / kPage * kPage;
    void* p = std::aligned_alloc(kPage, rounded);
    if (p)
        std::memset(p, 0, rounded);
    return p;
}

BOOL VirtualFree(LPVOID address, std::size_t size, DWORD freeType)
{
    if (!address || size != 0 || freeType != MEM_RELEASE)
        return FALSE;
    std::free(address);
    return TRUE;
}

void OutputDebugStringA(LPCSTR text)
{
    const std::string line = text ? text : "";
    {
        std::lock_guard<std::mutex> lock(g_debugMutex);
        if (g_debugSink) {
            g_debugSink(line);
            return;
        }
    }
    static const bool enabled = [] {
        const char* v = std::getenv("CORVANE_DEBUG");
        return v && std::strcmp(v, "1") == 0;
    }();
    if (enabled)
        std::fputs(line.c_str(), stderr);
}
