// The mixer's device object: opens the output back-end and creates the buffers.
#include "platform/MixerDevice.h"

#include "platform/MixerBuffer.h"
#include "platform/OutputDevices.h"
#include "platform/PrimaryBuffer.h"
#include "platform/RtAudioOutput.h"

#include <new>

namespace corvane::platform {

namespace {
// The output format before the primary buffer's format is set (or a device is opened).
constexpr DWORD kDefaultRate = 22050;
constexpr WORD kDefaultChannels = 2;
// How long start-up waits for the first attempt to open the output; a frozen sound server
// must not hold up the program for longer.
constexpr std::chrono::milliseconds kFirstOpenWait{3000};

WAVEFORMATEX Pcm(DWORD rate, WORD channels)
{
    const auto align = static_cast<WORD>(channels * 2);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, 16, 0};
}

bool ValidOutputFormat(DWORD rate, WORD channels)
{
    return rate >= 8000 && rate <= 192000 && (channels == 1 || channels == 2);
}
} // namespace

MixerDevice::MixerDevice(AudioBackend backend)
    : m_backend(backend),
      m_mixer(std::make_shared<SoundMixer>(kDefaultRate, kDefaultChannels)),
      m_primary(Pcm(kDefaultRate, kDefaultChannels))
{
    std::shared_ptr<SoundMixer> mixer = m_mixer;
    m_make = [mixer] { return std::make_unique<RtAudioOutput>(mixer); };
}

MixerDevice::~MixerDevice()
{
    if (m_output)
        OutputDevices::Instance().Remove(m_output.get());
    // Stops the output threads (waiting only briefly for a frozen server).
    m_output.reset();
}

void MixerDevice::SetStreamFactory(OutputSupervisor::StreamFactory make, OutputSupervisor::Timing timing)
{
    m_make = std::move(make);
    m_timing = timing;
}

DWORD MixerDevice::AddRef()
{
    return ++m_nRefs;
}

DWORD MixerDevice::Release()
{
    const DWORD left = --m_nRefs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MixerDevice::Initialize(LPCGUID device)
{
    if (m_bInitialized)
        return DSERR_ALREADYINITIALIZED;
    if (device && !(*device == GUID_NULL))
        return DSERR_NODRIVER;
    switch (m_backend) {
    case AudioBackend::None:
        return DSERR_NODRIVER;
    case AudioBackend::Manual:
        break;
    case AudioBackend::RtAudio: {
        // Without any output the program runs on silently and the supervisor keeps trying;
        // IsLost tells the caller.
        RtAudioOutput::SetApplicationIdentity("Corvane", "corvane");
        m_output = std::make_unique<OutputSupervisor>(m_mixer, m_make, m_timing);
        m_output->Start(OutputDevices::Instance().Choice(), kFirstOpenWait);
        OutputDevices::Instance().Add(m_output.get());
        break;
    }
    }
    m_bInitialized = true;
    return DS_OK;
}

HRESULT MixerDevice::SetCooperativeLevel(HWND window, DWORD level)
{
    if (!m_bInitialized)
        return DSERR_UNINITIALIZED;
    if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    m_nLevel = level;
    return DS_OK;
}

HRESULT MixerDevice::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                       void* outer)
{
    if (!desc || !buffer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!m_bInitialized)
        return DSERR_UNINITIALIZED;
    if (m_nLevel == 0)
        return DSERR_PRIOLEVELNEEDED;
    if (desc->dwSize != DSBUFFERDESC_SIZE && desc->dwSize != sizeof(DSBUFFERDESC))
        return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat)
            return DSERR_INVALIDPARAM;
        auto* primary = new (std::nothrow) PrimaryBuffer(this);
        if (!primary)
            return DSERR_OUTOFMEMORY;
        *buffer = primary;
        return DS_OK;
    }
    HRESULT result = DS_OK;
    *buffer = MixerBuffer::Create(m_mixer, *desc, &result);
    return result;
}

HRESULT MixerDevice::SetPrimaryFormat(const WAVEFORMATEX* format)
{
    if (!format)
        return DSERR_INVALIDPARAM;
    if (m_nLevel < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    if (format->wFormatTag != WAVE_FORMAT_PCM || format->wBitsPerSample != 16 ||
        !ValidOutputFormat(format->nSamplesPerSec, format->nChannels) ||
        format->nBlockAlign != format->nChannels * 2)
        return DSERR_BADFORMAT;
    m_primary = Pcm(format->nSamplesPerSec, format->nChannels);
    // A sound card's output stays at the device's own rate, and an export that chose its own
    // output format keeps it.
    if (m_output || m_bFormatFixed)
        return DS_OK;
    m_mixer->SetOutputFormat(format->nSamplesPerSec, format->nChannels);
    return DS_OK;
}

HRESULT MixerDevice::GetPrimaryFormat(WAVEFORMATEX* format)
{
    if (!format)
        return DSERR_INVALIDPARAM;
    *format = m_primary;
    return DS_OK;
}

HRESULT MixerDevice::GetOutputFormat(WAVEFORMATEX* format)
{
    if (!format)
        return DSERR_INVALIDPARAM;
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = m_mixer->OutputChannels();
    f.nSamplesPerSec = m_mixer->OutputRate();
    f.wBitsPerSample = 16;
    f.nBlockAlign = static_cast<WORD>(f.nChannels * 2);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    *format = f;
    return DS_OK;
}

DWORD MixerDevice::Pull(std::int16_t* out, DWORD frames)
{
    if (m_backend != AudioBackend::Manual || !m_bInitialized || !out)
        return 0;
    m_mixer->Mix(out, frames);
    return frames;
}

HRESULT MixerDevice::SetManualFormat(DWORD rate, WORD channels)
{
    if (m_backend != AudioBackend::Manual)
        return DSERR_INVALIDCALL;
    if (!ValidOutputFormat(rate, channels))
        return DSERR_INVALIDPARAM;
    m_mixer->SetOutputFormat(rate, channels);
    m_bFormatFixed = true;
    return DS_OK;
}

bool MixerDevice::IsLost() const
{
    return m_output && m_output->IsLost();
}

} // namespace corvane::platform
