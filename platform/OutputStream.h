// What the output supervisor needs of a sound output: open on a device, start, close, and
// report trouble. RtAudioOutput is the real one; tests put in fakes.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::platform {

struct OpenedFormat {
    DWORD rate = 0;
    WORD channels = 0;
    std::string system; // the sound system that opened it, e.g. "PulseAudio"
};

class IOutputStream {
public:
    virtual ~IOutputStream() = default;
    // Opens (but does not start) the named device, or the system's default for "". The format
    // is what the stream really got, which the mixer must follow. Empty when nothing opened;
    // Tried() then names the sound systems that were tried. May block on a frozen server.
    virtual std::optional<OpenedFormat> Open(const std::string& device) = 0;
    virtual bool Start() = 0;
    // Closes and joins the stream's thread: may block while a sound server is frozen.
    virtual void Close() = 0;
    // Writes fail (the server or device went away).
    virtual bool IsLost() const = 0;
    // Monotonic count of the stream's calls for sound; it stops when the server freezes.
    virtual std::uint64_t Calls() const = 0;
    virtual std::uint64_t Underruns() const = 0;
    virtual std::vector<std::string> Tried() const = 0;
    // The output devices of the sound system last opened (or probed), by name.
    virtual std::vector<std::string> Devices() const = 0;
};

} // namespace corvane::platform
