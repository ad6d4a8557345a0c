// Stand-ins for the kernel calls the system makes: performance counter, mutex, pages, debug output.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Performance counter over std::chrono::steady_clock (nanosecond ticks, frequency 1e9).
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

namespace corvane::platform {
// Replaces the counter for tests: `ticks` is read on every QueryPerformanceCounter call and
// `frequency` is reported by QueryPerformanceFrequency (0 makes it fail). An empty function
// restores the real clock.
void SetPerformanceCounterSource(std::function<std::int64_t()> ticks, std::int64_t frequency);

// Receives every OutputDebugStringA line while set (tests); empty restores the default sink,
// which writes to stderr only when CORVANE_DEBUG=1.
void SetDebugOutputSink(std::function<void(const std::string&)> sink);
} // namespace corvane::platform

// A Win32 mutex is re-entrant for its owning thread.
constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
HANDLE CreateMutexA(void* attributes, BOOL initialOwner, LPCSTR name);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL ReleaseMutex(HANDLE handle);
BOOL CloseHandle(HANDLE handle);

// Zeroed, page-aligned memory. Only whole reservations are released (MEM_RELEASE, size 0).
constexpr DWORD MEM_COMMIT = 0x1000;
constexpr DWORD MEM_RESERVE = 0x2000;
constexpr DWORD MEM_RELEASE = 0x8000;
constexpr DWORD PAGE_READWRITE = 0x04;
LPVOID VirtualAlloc(LPVOID address, std::size_t size, DWORD allocationType, DWORD protect);
BOOL VirtualFree(LPVOID address, std::size_t size, DWORD freeType);

void OutputDebugStringA(LPCSTR text);
