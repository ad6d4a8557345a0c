// The sound API the audio code is written against (DirectSound, COM, ACM shapes) over our own mixer.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using HWND = void*;
using MMRESULT = UINT;
using HACMOBJ = void*;

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};
using REFCLSID = const GUID&;
using REFIID = const GUID&;
using LPCGUID = const GUID*;
bool operator==(const GUID& a, const GUID& b);

extern const GUID GUID_NULL;
extern const GUID CLSID_DirectSound; // {47D4D946-62E8-11CF-93BC-444553540000}
extern const GUID IID_IDirectSound;  // {279AFA83-4981-11CE-A521-0020AF0BE560}

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);

// DirectSound result codes.
constexpr HRESULT DS_OK = S_OK;
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000Au);
constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001Eu);
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780046u);
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
constexpr HRESULT DSERR_ALREADYINITIALIZED = static_cast<HRESULT>(0x88780082u);
constexpr HRESULT DSERR_UNINITIALIZED = static_cast<HRESULT>(0x887800AAu);

// Buffer capabilities (creation flags).
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_STICKYFOCUS = 0x00004000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;
constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;
constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

// Ranges: volume in hundredths of a dB, pan in hundredths of a dB of the opposite side,
// frequency in Hz. Values outside are rejected with DSERR_INVALIDPARAM.
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 100000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

struct DSBUFFERDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    DWORD dwReserved = 0;
    WAVEFORMATEX* lpwfxFormat = nullptr;
    GUID guid3DAlgorithm{};
};
// The size the system's code writes into dwSize (the record as laid out on the original platform).
constexpr DWORD DSBUFFERDESC_SIZE = 36;

// A secondary or primary buffer. Reference counted: Release at zero frees it.
class IDirectSoundBuffer {
public:
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // One region when audioPtr2 is null: a region running past the end is then cut at the end.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, DWORD* audioBytes1,
                         LPVOID* audioPtr2, DWORD* audioBytes2, DWORD flags) = 0;
    // The byte counts say how much of each locked region was written.
    virtual HRESULT Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2,
                           DWORD audioBytes2) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT GetVolume(LONG* volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT GetPan(LONG* pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT GetFrequency(DWORD* frequency) = 0;
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    virtual HRESULT GetFormat(WAVEFORMATEX* format) = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

class IDirectSound {
public:
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    // Null or GUID_NULL opens the default output device.
    virtual HRESULT Initialize(LPCGUID device) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                      void* outer) = 0;

protected:
    virtual ~IDirectSound() = default;
};
using LPDIRECTSOUND = IDirectSound*;

// COM: only CLSID_DirectSound / IID_IDirectSound can be created.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, void* outer, DWORD context, REFIID iid, LPVOID* object);

// Audio Compression Manager: only the largest format size is answered.
constexpr UINT ACM_METRIC_MAX_SIZE_FORMAT = 50;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
MMRESULT acmMetrics(HACMOBJ object, UINT metric, LPVOID value);

namespace corvane::platform {

// Output back-ends of the mixer, chosen by CORVANE_AUDIO=rtaudio|manual|none (default rtaudio).
//   rtaudio: the default output device through RtAudio's callback thread.
//   manual:  nothing is mixed until a caller pulls frames (tests, offline export).
//   none:    no device: CoCreateInstance(CLSID_DirectSound) fails.
enum class AudioBackend { RtAudio, Manual, None };
AudioBackend AudioBackendFromEnvironment();

// Replaces what CoCreateInstance(CLSID_DirectSound) returns (tests inject faults); the function
// returns an object with one reference, or null to fail. An empty function restores the mixer.
void SetDirectSoundFactory(std::function<IDirectSound*()> factory);

// Creates a mixer device on the given back-end, ignoring the environment (one reference).
IDirectSound* CreateMixerDevice(AudioBackend backend);

// Offline/manual pulling. `device` must be a mixer device with the manual back-end, initialised.
// Mixes `frames` frames of the output format into `out` (interleaved signed 16-bit, `channels`
// samples per frame) and moves every playing buffer's cursor accordingly. Returns the number
// of frames written: `frames`, or 0 when the device can't be pulled.
DWORD PullMixedFrames(IDirectSound* device, std::int16_t* out, DWORD frames);

// Fixes the output format of a manual device (rate 8000..192000 Hz, 1 or 2 channels) so that an
// export can mix at, e.g., 44100 Hz stereo; a later SetFormat on the primary buffer then leaves
// it alone. Returns DS_OK or DSERR_INVALIDPARAM / DSERR_INVALIDCALL (not a manual device).
HRESULT SetManualOutputFormat(IDirectSound* device, DWORD rate, WORD channels);

// The mixer's current output format (rate, channels, 16 bits).
HRESULT GetOutputFormat(IDirectSound* device, WAVEFORMATEX* format);

// The master fade of the device's output (pause, sleep timer): heads for unity (true) or
// silence at the pace of a whole fade lasting `seconds`; a fade under way turns round from the
// gain it has reached, and `seconds` <= 0 jumps. DSERR_INVALIDCALL for a foreign device.
HRESULT FadeMasterGain(IDirectSound* device, bool unity, double seconds);
// Where the master fade stands: 0 silent .. 1 unity (1 for a foreign device).
double MasterFadePosition(IDirectSound* device);

// True while the rtaudio back-end has no working output (none could be opened, or the one in
// use went away or froze): the program runs on silently, the cursors move at the real rate,
// and opening is retried every 2 s until sound plays again.
bool IsOutputLost(IDirectSound* device);

// Underruns the output reported since the device was initialised (0 for the manual back-end).
std::uint64_t OutputUnderruns(IDirectSound* device);

// The sound systems the last failed attempt to open the output tried, e.g. {"JACK", "PulseAudio",
// "ALSA"}; empty while an output plays.
std::vector<std::string> OutputSystemsTried(IDirectSound* device);

} // namespace corvane::platform
