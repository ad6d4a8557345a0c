// The mixer's device object: opens the output back-end and creates the buffers.
#include "platform/MixerDevice.h"

#include "platform/MixerBuffer.h"
#include "platform/PrimaryBuffer.h"

#include <new>

namespace corvane::platform {

namespace {
// The output format before the primary buffer's format is set.
constexpr DWORD kDefaultRate = 22050;
constexpr WORD kDefaultChannels = 2;

bool ValidOutputFormat(DWORD rate, WORD channels)
{
    return rate >= 8000 && rate <= 192000 && (channels == 1 || channels == 2);
}
} // namespace

MixerDevice::MixerDevice(AudioBackend backend)
    : m_backend(backend), m_mixer(std::make_shared<SoundMixer>(kDefaultRate, kDefaultChannels))
{
}

MixerDevice::~MixerDevice()
{
    // Stops the output thread before the mixer can go away with the last buffer.
    m_output.reset();
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
        auto output = std::make_unique<RtAudioOutput>(m_mixer);
        if (!output->Open())
            return DSERR_NODRIVER;
        m_output = std::move(output);
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
    // An export that chose its own output format keeps it.
    if (m_bFormatFixed)
        return DS_OK;
    const DWORD oldRate = m_mixer->OutputRate();
    const WORD oldChannels = m_mixer->OutputChannels();
    if (format->nSamplesPerSec == oldRate && format->nChannels == oldChannels)
        return DS_OK;
    if (!m_output) {
        m_mixer->SetOutputFormat(format->nSamplesPerSec, format->nChannels);
        return DS_OK;
    }
    // The sound card stream is reopened in the new format; if that fails, in the old one.
    m_output->Close();
    m_mixer->SetOutputFormat(format->nSamplesPerSec, format->nChannels);
    if (m_output->Open())
        return DS_OK;
    m_mixer->SetOutputFormat(oldRate, oldChannels);
    m_output->Open();
    return DSERR_GENERIC;
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
