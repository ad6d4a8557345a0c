// A sound object that wraps the manual mixer and fails chosen calls, for the failure paths.
#pragma once

#include "platform/dsound.h"

namespace corvane::test {

struct FaultPlan {
    bool refuseLevel = false;         // SetCooperativeLevel fails
    bool refusePrimary = false;       // CreateSoundBuffer of the primary buffer fails
    bool refusePrimaryFormat = false; // the primary buffer's SetFormat fails
    bool refuseSecondary = false;     // CreateSoundBuffer of a stream buffer fails
    bool failPosition = false;        // GetCurrentPosition fails
    bool failLock = false;            // Lock fails
    bool failVolume = false;          // SetVolume fails
    int devicesAlive = 0;             // sound objects created and not yet freed
    int buffersAlive = 0;             // buffers created and not yet freed
    int stops = 0;                    // Stop calls on stream buffers
};

// Makes CoCreateInstance hand out faulty sound objects following `plan` until the returned
// guard is destroyed.
class FaultySoundScope {
public:
    explicit FaultySoundScope(FaultPlan& plan);
    ~FaultySoundScope();
    FaultySoundScope(const FaultySoundScope&) = delete;
    FaultySoundScope& operator=(const FaultySoundScope&) = delete;
};

} // namespace corvane::test
