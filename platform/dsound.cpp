// COM and ACM entry points of the sound API, back-end choice and the manual pulling functions.
#include "platform/dsound.h"

#include "platform/MixerDevice.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

const GUID GUID_NULL{};
const GUID CLSID_DirectSound{0x47D4D946, 0x62E8, 0x11CF, {0x93, 0xBC, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID IID_IDirectSound{0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {
std::atomic<int> g_comInits{0};
std::mutex g_factoryMutex;
std::function<IDirectSound*()> g_factory;

// The largest format record the system may ask room for (a WAVEFORMATEX plus extra bytes).
constexpr DWORD kMaxFormatSize = 50;

corvane::platform::MixerDevice* AsMixer(IDirectSound* device)
{
    return dynamic_cast<corvane::platform::MixerDevice*>(device);
}
} // namespace

HRESULT CoInitialize(LPVOID)
{
    return g_comInits++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    int n = g_comInits.load();
    while (n > 0 && !g_comInits.compare_exchange_weak(n, n - 1)) {
    }
}

HRESULT CoCreateInstance(REFCLSID clsid, void* outer, DWORD, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (!(clsid == CLSID_DirectSound))
        return REGDB_E_CLASSNOTREG;
    if (!(iid == IID_IDirectSound))
        return E_NOINTERFACE;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    {
        std::lock_guard<std::mutex> lock(g_factoryMutex);
        if (g_factory) {
            *object = g_factory();
            return *object ? S_OK : REGDB_E_CLASSNOTREG;
        }
    }
    const auto backend = corvane::platform::AudioBackendFromEnvironment();
    if (backend == corvane::platform::AudioBackend::None)
        return REGDB_E_CLASSNOTREG;
    *object = corvane::platform::CreateMixerDevice(backend);
    return *object ? S_OK : E_OUTOFMEMORY;
}

MMRESULT acmMetrics(HACMOBJ object, UINT metric, LPVOID value)
{
    if (!value)
        return MMSYSERR_INVALPARAM;
    if (object || metric != ACM_METRIC_MAX_SIZE_FORMAT)
        return MMSYSERR_NOTSUPPORTED;
    *static_cast<DWORD*>(value) = kMaxFormatSize;
    return MMSYSERR_NOERROR;
}

namespace corvane::platform {

AudioBackend AudioBackendFromEnvironment()
{
    const char* v = std::getenv("CORVANE_AUDIO");
    const std::string_view name = v ? v : "";
    if (name == "manual")
        return AudioBackend::Manual;
    if (name == "none")
        return AudioBackend::None;
    return AudioBackend::RtAudio;
}

void SetDirectSoundFactory(std::function<IDirectSound*()> factory)
{
    std::lock_guard<std::mutex> lock(g_factoryMutex);
    g_factory = std::move(factory);
}

IDirectSound* CreateMixerDevice(AudioBackend backend)
{
    return new (std::nothrow) MixerDevice(backend);
}

DWORD PullMixedFrames(IDirectSound* device, std::int16_t* out, DWORD frames)
{
    MixerDevice* mixer = AsMixer(device);
    return mixer ? mixer->Pull(out, frames) : 0;
}

HRESULT SetManualOutputFormat(IDirectSound* device, DWORD rate, WORD channels)
{
    MixerDevice* mixer = AsMixer(device);
    return mixer ? mixer->SetManualFormat(rate, channels) : DSERR_INVALIDCALL;
}

HRESULT GetOutputFormat(IDirectSound* device, WAVEFORMATEX* format)
{
    MixerDevice* mixer = AsMixer(device);
    return mixer ? mixer->GetOutputFormat(format) : DSERR_INVALIDCALL;
}

HRESULT FadeMasterGain(IDirectSound* device, bool unity, double seconds)
{
    MixerDevice* mixer = AsMixer(device);
    if (!mixer)
        return DSERR_INVALIDCALL;
    mixer->Mixer().FadeMaster(unity, seconds);
    return DS_OK;
}

double MasterFadePosition(IDirectSound* device)
{
    MixerDevice* mixer = AsMixer(device);
    return mixer ? mixer->Mixer().MasterFadePosition() : 1.0;
}

bool IsOutputLost(IDirectSound* device)
{
    MixerDevice* mixer = AsMixer(device);
    return mixer && mixer->IsLost();
}

std::uint64_t OutputUnderruns(IDirectSound* device)
{
    MixerDevice* mixer = AsMixer(device);
    return mixer && mixer->Supervisor() ? mixer->Supervisor()->Underruns() : 0;
}

std::vector<std::string> OutputSystemsTried(IDirectSound* device)
{
    MixerDevice* mixer = AsMixer(device);
    if (!mixer || !mixer->Supervisor() || !mixer->IsLost())
        return {};
    return mixer->Supervisor()->Tried();
}

} // namespace corvane::platform
