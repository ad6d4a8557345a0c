// A sound object that wraps the manual mixer and fails chosen calls, for the failure paths.
#include "tests/audio/FaultySound.h"

namespace corvane::test {

namespace {

class FaultyBuffer final : public IDirectSoundBuffer {
public:
    FaultyBuffer(IDirectSoundBuffer* real, FaultPlan& plan) : m_real(real), m_plan(plan)
    {
        ++m_plan.buffersAlive;
    }
    DWORD AddRef() override { return ++m_refs; }
    DWORD Release() override
    {
        if (--m_refs)
            return m_refs;
        m_real->Release();
        --m_plan.buffersAlive;
        delete this;
        return 0;
    }
    HRESULT GetCurrentPosition(DWORD* p, DWORD* w) override
    {
        return m_plan.failPosition ? DSERR_GENERIC : m_real->GetCurrentPosition(p, w);
    }
    HRESULT SetCurrentPosition(DWORD p) override { return m_real->SetCurrentPosition(p); }
    HRESULT Lock(DWORD o, DWORD b, LPVOID* p1, DWORD* n1, LPVOID* p2, DWORD* n2,
                 DWORD f) override
    {
        return m_plan.failLock ? DSERR_GENERIC : m_real->Lock(o, b, p1, n1, p2, n2, f);
    }
    HRESULT Unlock(LPVOID p1, DWORD n1, LPVOID p2, DWORD n2) override
    {
        return m_real->Unlock(p1, n1, p2, n2);
    }
    HRESULT Play(DWORD r, DWORD p, DWORD f) override { return m_real->Play(r, p, f); }
    HRESULT Stop() override
    {
        ++m_plan.stops;
        return m_real->Stop();
    }
    HRESULT GetStatus(DWORD* s) override { return m_real->GetStatus(s); }
    HRESULT SetVolume(LONG v) override
    {
        return m_plan.failVolume ? DSERR_GENERIC : m_real->SetVolume(v);
    }
    HRESULT GetVolume(LONG* v) override { return m_real->GetVolume(v); }
    HRESULT SetPan(LONG p) override { return m_real->SetPan(p); }
    HRESULT GetPan(LONG* p) override { return m_real->GetPan(p); }
    HRESULT SetFrequency(DWORD f) override { return m_real->SetFrequency(f); }
    HRESULT GetFrequency(DWORD* f) override { return m_real->GetFrequency(f); }
    HRESULT SetFormat(const WAVEFORMATEX* f) override
    {
        return m_plan.refusePrimaryFormat ? DSERR_BADFORMAT : m_real->SetFormat(f);
    }
    HRESULT GetFormat(WAVEFORMATEX* f) override { return m_real->GetFormat(f); }

private:
    ~FaultyBuffer() override = default;
    IDirectSoundBuffer* m_real;
    FaultPlan& m_plan;
    DWORD m_refs = 1;
};

class FaultyDirectSound final : public IDirectSound {
public:
    FaultyDirectSound(IDirectSound* real, FaultPlan& plan) : m_real(real), m_plan(plan)
    {
        ++m_plan.devicesAlive;
    }
    DWORD AddRef() override { return ++m_refs; }
    DWORD Release() override
    {
        if (--m_refs)
            return m_refs;
        m_real->Release();
        --m_plan.devicesAlive;
        delete this;
        return 0;
    }
    HRESULT Initialize(LPCGUID g) override { return m_real->Initialize(g); }
    HRESULT SetCooperativeLevel(HWND w, DWORD l) override
    {
        return m_plan.refuseLevel ? DSERR_ALLOCATED : m_real->SetCooperativeLevel(w, l);
    }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* d, IDirectSoundBuffer** b, void* o) override
    {
        const bool primary = d && (d->dwFlags & DSBCAPS_PRIMARYBUFFER);
        if ((primary && m_plan.refusePrimary) || (!primary && m_plan.refuseSecondary))
            return DSERR_OUTOFMEMORY;
        IDirectSoundBuffer* real = nullptr;
        const HRESULT hr = m_real->CreateSoundBuffer(d, &real, o);
        *b = SUCCEEDED(hr) ? new FaultyBuffer(real, m_plan) : nullptr;
        return hr;
    }

private:
    ~FaultyDirectSound() override = default;
    IDirectSound* m_real;
    FaultPlan& m_plan;
    DWORD m_refs = 1;
};

} // namespace

FaultySoundScope::FaultySoundScope(FaultPlan& plan)
{
    corvane::platform::SetDirectSoundFactory([&plan] {
        return new FaultyDirectSound(
            corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual), plan);
    });
}

FaultySoundScope::~FaultySoundScope()
{
    corvane::platform::SetDirectSoundFactory({});
}

} // namespace corvane::test
