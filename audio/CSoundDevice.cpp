// The program's connection to the sound card and the registry of its output streams.
#include "audio/CSoundDevice.h"

#include "platform/kernel.h"

#include <new>

namespace {

void* CommittedBlock(std::size_t bytes)
{
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void GiveBack(void* block)
{
    if (block)
        VirtualFree(block, 0, MEM_RELEASE);
}

void FillPcm(WAVEFORMATEX* f, WORD channels, DWORD rate)
{
    f->wFormatTag = WAVE_FORMAT_PCM;
    f->nChannels = channels;
    f->nSamplesPerSec = rate;
    f->wBitsPerSample = 16;
    f->nBlockAlign = static_cast<WORD>(channels * 2);
    f->nAvgBytesPerSec = rate * f->nBlockAlign;
    f->cbSize = 0;
}

} // namespace

CSoundDevice::CSoundDevice()
    : m_nNextId(0), m_pDirectSound(nullptr), m_pPrimaryBuffer(nullptr), m_hWnd(nullptr)
{
}

CSoundDevice::~CSoundDevice()
{
    RemoveAllStreams();
    ReleasePrimaryBuffer();
    ReleaseDevice();
}

void CSoundDevice::SetWindow(HWND window)
{
    m_hWnd = window;
}

int CSoundDevice::Start()
{
    // A second Start must not leak a device, nor leave unreachable streams playing on it.
    DeleteStreams();
    ReleasePrimaryBuffer();
    ReleaseDevice();

    if (!CreateDevice())
        return 0;
    if (!CreatePrimaryBuffer()) {
        ReleaseDevice();
        return 0;
    }
    return 1;
}

int CSoundDevice::CreateDevice()
{
    if (CoInitialize(nullptr) < 0)
        return 0;
    void* object = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IDirectSound, &object);
    m_pDirectSound = static_cast<IDirectSound*>(object);
    if (hr < 0 || !m_pDirectSound) {
        if (m_pDirectSound)
            m_pDirectSound->Release();
        m_pDirectSound = nullptr;
        CoUninitialize();
        return 0;
    }
    if (m_pDirectSound->Initialize(&GUID_NULL) < 0) {
        ReleaseDevice();
        return 0;
    }
    return 1;
}

void CSoundDevice::ReleaseDevice()
{
    if (m_pDirectSound) {
        m_pDirectSound->Release();
        m_pDirectSound = nullptr;
        CoUninitialize();
    }
}

int CSoundDevice::CreatePrimaryBuffer()
{
    if (!m_pDirectSound || !m_hWnd)
        return 0;
    DWORD size = 0;
    if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &size) != 0)
        return 0;
    // A size below the record's own would let the format be written past the block.
    if (size < sizeof(WAVEFORMATEX))
        return 0;
    auto* format = static_cast<WAVEFORMATEX*>(CommittedBlock(size));
    if (!format)
        return 0;
    FillPcm(format, 2, 22050);

    int ok = 0;
    if (m_pDirectSound->SetCooperativeLevel(m_hWnd, DSSCL_PRIORITY) >= 0) {
        DSBUFFERDESC desc{};
        desc.dwSize = DSBUFFERDESC_SIZE;
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        if (m_pDirectSound->CreateSoundBuffer(&desc, &m_pPrimaryBuffer, nullptr) >= 0 &&
            m_pPrimaryBuffer) {
            // Keep the primary buffer playing so the device mixes while no stream plays.
            ok = m_pPrimaryBuffer->SetFormat(format) >= 0 &&
                 m_pPrimaryBuffer->Play(0, 0, DSBPLAY_LOOPING) >= 0;
            if (!ok)
                ReleasePrimaryBuffer();
        } else {
            m_pPrimaryBuffer = nullptr;
        }
    }
    // The device keeps its own copy of the format; the record is given back on every path.
    GiveBack(format);
    return ok;
}

void CSoundDevice::ReleasePrimaryBuffer()
{
    if (m_pPrimaryBuffer) {
        m_pPrimaryBuffer->Release();
        m_pPrimaryBuffer = nullptr;
    }
}

int CSoundDevice::CreateStream(std::uint32_t samples, std::uint32_t* id)
{
    if (!m_pDirectSound || !m_pPrimaryBuffer)
        return 0;
    // Twice the sample count must still fit the byte size.
    if (samples == 0 || samples > 0x7FFFFFFFu)
        return 0;
    const DWORD bytes = samples * 2;

    auto* format = static_cast<WAVEFORMATEX*>(CommittedBlock(sizeof(WAVEFORMATEX)));
    if (!format)
        return 0;
    FillPcm(format, 1, 44100);
    void* memory = CommittedBlock(bytes);
    if (!memory) {
        GiveBack(format);
        return 0;
    }
    auto* stream = new (std::nothrow) CSoundStream;
    if (!stream) {
        GiveBack(format);
        GiveBack(memory);
        return 0;
    }
    stream->Attach(memory, format, bytes);
    stream->ClearSamples();
    if (stream->CreateBuffer(m_pDirectSound) && RegisterStream(stream, id))
        return 1;
    delete stream;
    return 0;
}

int CSoundDevice::RegisterStream(CSoundStream* stream, std::uint32_t* id)
{
    if (!stream)
        return 0;
    m_lock.Lock();
    const std::uint32_t key = m_nNextId;
    // A taken key (only after the counter wrapped) must not lose the stream behind a success.
    if (!m_streams.emplace(key, stream).second) {
        m_lock.Unlock();
        return 0;
    }
    if (id)
        *id = key;
    ++m_nNextId;
    m_lock.Unlock();
    return 1;
}

CSoundStream* CSoundDevice::FindStream(std::uint32_t id)
{
    const auto it = m_streams.find(id);
    return it == m_streams.end() ? nullptr : it->second;
}

void CSoundDevice::DeleteStreams()
{
    m_lock.Lock();
    for (auto& [key, stream] : m_streams) {
        stream->Stop();
        delete stream;
    }
    m_streams.clear();
    m_lock.Unlock();
}

void CSoundDevice::RemoveAllStreams()
{
    m_lock.Lock();
    DeleteStreams();
    m_nNextId = 0;
    m_lock.Unlock();
}
