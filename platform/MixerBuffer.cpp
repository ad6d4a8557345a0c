// A secondary sound buffer of the mixer: memory, play cursor, volume, pan and rate.
#include "platform/MixerBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace corvane::platform {

namespace {
// How far ahead of the play cursor writing is safe, as the write cursor reports it.
constexpr DWORD kWriteLeadMs = 10;
} // namespace

MixerBuffer* MixerBuffer::Create(std::shared_ptr<SoundMixer> mixer, const DSBUFFERDESC& desc,
                                 HRESULT* result)
{
    const WAVEFORMATEX* f = desc.lpwfxFormat;
    if (!f || desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX) {
        *result = DSERR_INVALIDPARAM;
        return nullptr;
    }
    if (f->wFormatTag != WAVE_FORMAT_PCM || f->wBitsPerSample != 16 ||
        (f->nChannels != 1 && f->nChannels != 2) || f->nBlockAlign != f->nChannels * 2 ||
        f->nSamplesPerSec < DSBFREQUENCY_MIN || f->nSamplesPerSec > DSBFREQUENCY_MAX) {
        *result = DSERR_BADFORMAT;
        return nullptr;
    }
    if (desc.dwBufferBytes % f->nBlockAlign != 0) {
        *result = DSERR_INVALIDPARAM;
        return nullptr;
    }
    auto* buffer = new (std::nothrow) MixerBuffer(std::move(mixer), desc);
    if (buffer && !buffer->m_voice.resampler->Valid()) {
        buffer->Release();
        buffer = nullptr;
    }
    *result = buffer ? DS_OK : DSERR_OUTOFMEMORY;
    return buffer;
}

MixerBuffer::MixerBuffer(std::shared_ptr<SoundMixer> mixer, const DSBUFFERDESC& desc)
    : m_mixer(std::move(mixer)), m_format(*desc.lpwfxFormat), m_nFlags(desc.dwFlags)
{
    m_format.cbSize = 0;
    m_voice.channels = m_format.nChannels;
    m_voice.frames = desc.dwBufferBytes / m_format.nBlockAlign;
    m_voice.samples.assign(static_cast<std::size_t>(m_voice.frames) * m_voice.channels, 0);
    m_voice.frequency = m_format.nSamplesPerSec;
    m_voice.resampler = std::make_unique<VoiceResampler>(m_voice.channels);
    m_staging.assign(desc.dwBufferBytes, 0);
    m_mixer->Add(&m_voice);
}

MixerBuffer::~MixerBuffer()
{
    m_mixer->Remove(&m_voice);
}

DWORD MixerBuffer::AddRef()
{
    return ++m_nRefs;
}

DWORD MixerBuffer::Release()
{
    const DWORD left = --m_nRefs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MixerBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor)
{
    if (!playCursor && !writeCursor)
        return DSERR_INVALIDPARAM;
    DWORD frame = 0;
    {
        std::lock_guard<std::mutex> lock(m_mixer->Mutex());
        frame = static_cast<DWORD>(m_voice.position);
        m_mixer->Prepare(m_voice); // a pitch that has come to rest gets its fixed-ratio engine
    }
    const DWORD play = frame * m_format.nBlockAlign;
    if (playCursor)
        *playCursor = play;
    if (writeCursor) {
        const DWORD lead =
            static_cast<DWORD>(static_cast<std::uint64_t>(m_format.nAvgBytesPerSec) * kWriteLeadMs /
                               1000 / m_format.nBlockAlign * m_format.nBlockAlign);
        *writeCursor = (play + lead) % Bytes();
    }
    return DS_OK;
}

HRESULT MixerBuffer::SetCurrentPosition(DWORD position)
{
    if (position >= Bytes())
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_voice.position = position / m_format.nBlockAlign;
    Restart();
    return DS_OK;
}

HRESULT MixerBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, DWORD* audioBytes1,
                          LPVOID* audioPtr2, DWORD* audioBytes2, DWORD flags)
{
    if (!audioPtr1 || !audioBytes1)
        return DSERR_INVALIDPARAM;
    if (m_bLocked)
        return DSERR_INVALIDCALL;
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        DWORD write = 0;
        GetCurrentPosition(nullptr, &write);
        offset = write;
    }
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = Bytes();
    }
    if (offset >= Bytes() || bytes == 0 || bytes > Bytes())
        return DSERR_INVALIDPARAM;

    const DWORD first = std::min(bytes, Bytes() - offset);
    const DWORD second = audioPtr2 ? bytes - first : 0;
    m_nLockOffset[0] = offset;
    m_nLockBytes[0] = first;
    m_nLockOffset[1] = 0;
    m_nLockBytes[1] = second;
    {
        // The caller sees the current content, as it would in the buffer itself.
        std::lock_guard<std::mutex> lock(m_mixer->Mutex());
        const auto* memory = reinterpret_cast<const BYTE*>(m_voice.samples.data());
        std::memcpy(m_staging.data() + offset, memory + offset, first);
        if (second)
            std::memcpy(m_staging.data(), memory, second);
    }
    *audioPtr1 = m_staging.data() + offset;
    *audioBytes1 = first;
    if (audioPtr2) {
        *audioPtr2 = second ? m_staging.data() : nullptr;
        if (audioBytes2)
            *audioBytes2 = second;
    }
    m_bLocked = true;
    return DS_OK;
}

HRESULT MixerBuffer::Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2,
                            DWORD audioBytes2)
{
    if (!m_bLocked || audioPtr1 != m_staging.data() + m_nLockOffset[0] ||
        audioBytes1 > m_nLockBytes[0] ||
        (audioPtr2 && (audioPtr2 != m_staging.data() || audioBytes2 > m_nLockBytes[1])))
        return DSERR_INVALIDPARAM;
    {
        std::lock_guard<std::mutex> lock(m_mixer->Mutex());
        auto* memory = reinterpret_cast<BYTE*>(m_voice.samples.data());
        std::memcpy(memory + m_nLockOffset[0], m_staging.data() + m_nLockOffset[0], audioBytes1);
        if (audioPtr2 && audioBytes2)
            std::memcpy(memory, m_staging.data(), audioBytes2);
    }
    m_bLocked = false;
    return DS_OK;
}

HRESULT MixerBuffer::Play(DWORD, DWORD, DWORD flags)
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    // A one-shot that ran to its end starts over; otherwise play goes on from the cursor.
    if (m_voice.position >= m_voice.frames)
        m_voice.position = 0.0;
    if (!m_voice.playing)
        Restart();
    m_voice.looping = (flags & DSBPLAY_LOOPING) != 0;
    m_voice.playing = true;
    return DS_OK;
}

HRESULT MixerBuffer::Stop()
{
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_voice.playing = false;
    return DS_OK;
}

HRESULT MixerBuffer::GetStatus(DWORD* status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    *status = m_voice.playing ? DSBSTATUS_PLAYING | (m_voice.looping ? DSBSTATUS_LOOPING : 0) : 0;
    return DS_OK;
}

HRESULT MixerBuffer::SetVolume(LONG volume)
{
    if (!(m_nFlags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_voice.volume = volume;
    SoundMixer::UpdateGains(m_voice);
    return DS_OK;
}

HRESULT MixerBuffer::GetVolume(LONG* volume)
{
    if (!volume)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    *volume = m_voice.volume;
    return DS_OK;
}

HRESULT MixerBuffer::SetPan(LONG pan)
{
    if (!(m_nFlags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_voice.pan = pan;
    SoundMixer::UpdateGains(m_voice);
    return DS_OK;
}

HRESULT MixerBuffer::GetPan(LONG* pan)
{
    if (!pan)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    *pan = m_voice.pan;
    return DS_OK;
}

HRESULT MixerBuffer::SetFrequency(DWORD frequency)
{
    if (!(m_nFlags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    m_voice.frequency = frequency;
    // Whatever the new rate needs is made here rather than on the output thread.
    m_mixer->Prepare(m_voice);
    return DS_OK;
}

HRESULT MixerBuffer::GetFrequency(DWORD* frequency)
{
    if (!frequency)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Mutex());
    *frequency = m_voice.frequency;
    return DS_OK;
}

void MixerBuffer::Restart()
{
    m_mixer->Restart(m_voice);
}

HRESULT MixerBuffer::SetFormat(const WAVEFORMATEX*)
{
    // Only the primary buffer's format can change.
    return DSERR_INVALIDCALL;
}

HRESULT MixerBuffer::GetFormat(WAVEFORMATEX* format)
{
    if (!format)
        return DSERR_INVALIDPARAM;
    *format = m_format;
    return DS_OK;
}

} // namespace corvane::platform
