// One streaming sound buffer: eight segments refreshed one block at a time while it plays.
#pragma once

#include "platform/dsound.h"

class CSoundStream {
public:
    CSoundStream();
    virtual ~CSoundStream(); // gives back format, then samples, then releases the buffer

    CSoundStream(const CSoundStream&) = delete;
    CSoundStream& operator=(const CSoundStream&) = delete;

    // Takes ownership of sample memory and format record (both from VirtualAlloc); gives back
    // what it held before. Always 1.
    int Attach(void* samples, WAVEFORMATEX* format, DWORD bytes);
    // Fills the sample memory with silence.
    void ClearSamples();
    // Creates the buffer on `ds` loaded with the sample memory, full volume, centre pan,
    // one-shot mode, not playing. 1 created, 0 failed.
    int CreateBuffer(IDirectSound* ds);
    // 1 when sample memory, format record and buffer are all present.
    int IsValid() const;

    // mode 1 one-shot, 2 loop; stores it and plays. Returns Play's result.
    HRESULT SetPlayMode(int mode);
    // Restarts at 0 when playing, else plays on from the cursor. E_FAIL without a buffer.
    HRESULT Play();
    // 0 when not playing (buffer untouched); E_FAIL without a buffer.
    HRESULT Stop();
    // 1 stops, any other value plays.
    HRESULT SetStopped(int stopped);

    // Hundredths of a dB, clamped to -10000..0 (0 full level). 0 without a valid buffer, else 1.
    int SetVolume(LONG volume);
    // -1 left .. 1 right, sent as trunc(p * 10000); outside -10000..10000 it is rejected and
    // the pan stays. 1 when accepted, else 0.
    int SetPan(float pan);
    // Ratio to 44100 Hz; trunc(r * 44100) clamped to 100..100000 Hz. 1 when accepted, else 0.
    int SetFrequency(float ratio);

    // Copies one segment (buffer bytes / 8) from `block` into the segment the play cursor has
    // just entered. Returns the bytes taken (1764 for a 7056-sample stream), or 0 when the
    // cursor is still in the segment written last. `block` must hold at least one segment.
    DWORD Write(const void* block);

    // The play mode last set: 1 one-shot, 2 loop.
    int GetPlayMode() const { return m_nPlayMode; }

    // The buffer (tests and diagnostics); null until created.
    IDirectSoundBuffer* GetBuffer() const { return m_pBuffer; }

    // Forgets the program-wide segment bookkeeping, as at program start (tests).
    static void ResetStreamingState();

private:
    void* m_pSamples;
    WAVEFORMATEX* m_pFormat;
    DWORD m_nBytes;
    int m_nPlayMode;
    IDirectSoundBuffer* m_pBuffer;
    int m_bPlaying;
    LONG m_lVolumeMin;
    LONG m_lVolumeMax;
    float m_fBaseRate;
};
