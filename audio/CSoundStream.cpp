// One streaming sound buffer: eight segments refreshed one block at a time while it plays.
#include "audio/CSoundStream.h"

#include "platform/kernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr DWORD kSegments = 8;

// Segment bookkeeping of the whole program, not of one stream: whichever stream writes moves it.
DWORD g_nSegmentBytes = 0; // fixed by the first Write of the run
DWORD g_nLastIndex = 0;
LONG g_nLastWritten = -1;

constexpr DWORD kBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                               DSBCAPS_CTRLVOLUME | DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS |
                               DSBCAPS_GETCURRENTPOSITION2;

void GiveBack(void* memory)
{
    if (memory)
        VirtualFree(memory, 0, MEM_RELEASE);
}

} // namespace

CSoundStream::CSoundStream()
    : m_pSamples(nullptr),
      m_pFormat(nullptr),
      m_nBytes(0),
      m_nPlayMode(0),
      m_pBuffer(nullptr),
      m_bPlaying(0),
      m_lVolumeMin(DSBVOLUME_MIN),
      m_lVolumeMax(DSBVOLUME_MAX),
      m_fBaseRate(44100.0f)
{
}

CSoundStream::~CSoundStream()
{
    GiveBack(m_pFormat);
    GiveBack(m_pSamples);
    if (m_pBuffer)
        m_pBuffer->Release();
}

void CSoundStream::ResetStreamingState()
{
    g_nSegmentBytes = 0;
    g_nLastIndex = 0;
    g_nLastWritten = -1;
}

int CSoundStream::Attach(void* samples, WAVEFORMATEX* format, DWORD bytes)
{
    if (m_pFormat != format)
        GiveBack(m_pFormat);
    if (m_pSamples != samples)
        GiveBack(m_pSamples);
    m_pSamples = samples;
    m_pFormat = format;
    m_nBytes = bytes;
    return 1;
}

void CSoundStream::ClearSamples()
{
    if (!m_pSamples || !m_pFormat || m_pFormat->nBlockAlign == 0)
        return;
    // Silence the whole memory whatever the frame size, not only a mono stream's.
    if (m_nBytes / m_pFormat->nBlockAlign > 0)
        std::memset(m_pSamples, 0, m_nBytes);
}

int CSoundStream::CreateBuffer(IDirectSound* ds)
{
    if (!m_pSamples || !m_pFormat || m_pBuffer || !ds)
        return 0;

    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_SIZE;
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = m_nBytes;
    desc.lpwfxFormat = m_pFormat;

    LPVOID region = nullptr;
    DWORD regionBytes = 0;
    HRESULT hr = ds->CreateSoundBuffer(&desc, &m_pBuffer, nullptr);
    if (SUCCEEDED(hr) && m_pBuffer) {
        hr = m_pBuffer->Lock(0, m_nBytes, &region, &regionBytes, nullptr, nullptr, 0);
        if (SUCCEEDED(hr) && region) {
            const DWORD n = std::min(regionBytes, m_nBytes);
            std::memcpy(region, m_pSamples, n);
            hr = m_pBuffer->Unlock(region, n, nullptr, 0);
            region = nullptr;
        }
        if (SUCCEEDED(hr))
            hr = m_pBuffer->SetVolume(m_lVolumeMax);
        if (SUCCEEDED(hr))
            hr = m_pBuffer->SetPan(DSBPAN_CENTER);
    }
    if (FAILED(hr) || !m_pBuffer) {
        if (m_pBuffer) {
            if (region)
                m_pBuffer->Unlock(region, 0, nullptr, 0);
            m_pBuffer->Release();
        }
        m_pBuffer = nullptr;
        return 0;
    }
    m_nPlayMode = 1;
    return 1;
}

int CSoundStream::IsValid() const
{
    return m_pSamples && m_pFormat && m_pBuffer ? 1 : 0;
}

HRESULT CSoundStream::SetPlayMode(int mode)
{
    m_nPlayMode = mode;
    return Play();
}

HRESULT CSoundStream::Play()
{
    if (!IsValid())
        return E_FAIL;
    const DWORD flags = m_nPlayMode == 2 ? DSBPLAY_LOOPING : 0;
    DWORD status = 0;
    if (SUCCEEDED(m_pBuffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING)) {
        const HRESULT hr = m_pBuffer->SetCurrentPosition(0);
        if (FAILED(hr))
            return hr;
    }
    const HRESULT hr = m_pBuffer->Play(0, 0, flags);
    if (SUCCEEDED(hr))
        m_bPlaying = 1;
    return hr;
}

HRESULT CSoundStream::Stop()
{
    if (!IsValid())
        return E_FAIL;
    if (!m_bPlaying)
        return 0;
    const HRESULT hr = m_pBuffer->Stop();
    if (SUCCEEDED(hr))
        m_bPlaying = 0;
    return hr;
}

HRESULT CSoundStream::SetStopped(int stopped)
{
    return stopped == 1 ? Stop() : Play();
}

int CSoundStream::SetVolume(LONG volume)
{
    if (!IsValid())
        return 0;
    m_pBuffer->SetVolume(std::clamp(volume, m_lVolumeMin, m_lVolumeMax));
    return 1;
}

int CSoundStream::SetPan(float pan)
{
    if (!IsValid())
        return 0;
    const double value = pan * 10000.0;
    // Not a number, or beyond any LONG: refused here as the platform refuses any pan out of range.
    if (!(std::fabs(value) < 2147483648.0))
        return 0;
    return SUCCEEDED(m_pBuffer->SetPan(static_cast<LONG>(value))) ? 1 : 0;
}

int CSoundStream::SetFrequency(float ratio)
{
    if (!IsValid())
        return 0;
    const float hz = ratio * m_fBaseRate;
    if (std::isnan(hz))
        return 0;
    // Clamped before the conversion so that huge modulation values can't overflow it.
    const DWORD frequency =
        hz <= static_cast<float>(DSBFREQUENCY_MIN)   ? DSBFREQUENCY_MIN
        : hz >= static_cast<float>(DSBFREQUENCY_MAX) ? DSBFREQUENCY_MAX
                                                     : static_cast<DWORD>(hz);
    return SUCCEEDED(m_pBuffer->SetFrequency(frequency)) ? 1 : 0;
}

DWORD CSoundStream::Write(const void* block)
{
    if (!IsValid() || !block)
        return 0;
    DWORD play = 0;
    DWORD write = 0;
    if (FAILED(m_pBuffer->GetCurrentPosition(&play, &write)))
        return 0;
    if (g_nSegmentBytes == 0)
        g_nSegmentBytes = m_nBytes / kSegments;
    if (g_nSegmentBytes == 0)
        return 0; // a buffer of fewer than 8 bytes has no segments

    // The previous index is added unscaled, so the next segment is taken up to 7 bytes early.
    DWORD i = (play + g_nLastIndex) / g_nSegmentBytes;
    if (i >= kSegments)
        i = 0;
    g_nLastIndex = i;
    if (static_cast<LONG>(i) == g_nLastWritten)
        return 0;
    g_nLastWritten = static_cast<LONG>(i);

    LPVOID region = nullptr;
    DWORD regionBytes = 0;
    m_pBuffer->Lock(i * g_nSegmentBytes, g_nSegmentBytes, &region, &regionBytes, nullptr,
                    nullptr, 0);
    if (!region)
        return 0; // the segment still counts as written: the next one takes this block
    DWORD n = 0;
    if (regionBytes >= g_nSegmentBytes) {
        std::memcpy(region, block, g_nSegmentBytes);
        n = g_nSegmentBytes;
    }
    m_pBuffer->Unlock(region, n, nullptr, 0);
    return n;
}
