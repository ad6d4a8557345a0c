// What the application needs of the synthesizer panel; lets tests put a stand-in in its place.
#pragma once

#include "app/export/CExportOptions.h"
#include "app/export/CExportPanelSetup.h"
#include "app/export/CSoundCapture.h"

#include <QStringList>

#include <cstdint>
#include <optional>

class QWidget;

namespace corvane {
class IPanelView {
public:
    virtual ~IPanelView() = default;
    // The widget the main frame shows as its central widget.
    virtual QWidget* Widget() = 0;
    // Set-up; runs at start and again for File New and File Open.
    virtual void OnInitialUpdate() = 0;
    // Render tick; `pTime` is the clock's time in 100 ns units.
    virtual int OnEngineTick(std::int64_t* pTime) = 0;
    virtual void OnSoundLoop() = 0;
    virtual void OnSoundOneShot() = 0;
    // The output's master fade: toward unity or silence at the pace of a whole `seconds` fade.
    virtual void FadeOutput(bool unity, double seconds) = 0;
    // The sound as a sound file holds it; settings still at their start-up state are left out.
    virtual CExportOptions CaptureSound() = 0;
    // Applies a sound after the set-up through the export's own mapping; returns notes about
    // values the panel could only approximate.
    virtual QStringList ApplySound(const CExportOptions& sound) = 0;
    // View > Zoom: the panel laid out at this size in percent; false when it cannot be.
    virtual bool SetZoom(int /*percent*/) { return false; }
    // The pane View > Spectrum shows beside the panel, or null; the frame takes it over.
    virtual QWidget* SpectrumPane() { return nullptr; }
};

// Adapts any panel widget class with the panel's public operations; the frame owns the widget.
template <class TPanel>
class CPanelAdapter final : public IPanelView {
public:
    explicit CPanelAdapter(TPanel* panel) : m_pPanel(panel) {}
    QWidget* Widget() override { return m_pPanel; }
    void OnInitialUpdate() override
    {
        m_pPanel->OnInitialUpdate();
        m_capture.emplace(*m_pPanel); // the start-up state that Save leaves out
    }
    int OnEngineTick(std::int64_t* pTime) override { return m_pPanel->OnEngineTick(pTime); }
    void OnSoundLoop() override { m_pPanel->OnSoundLoop(); }
    void OnSoundOneShot() override { m_pPanel->OnSoundOneShot(); }
    void FadeOutput(bool unity, double seconds) override { m_pPanel->FadeOutput(unity, seconds); }
    CExportOptions CaptureSound() override { return m_capture ? m_capture->Capture() : CExportOptions(); }
    QStringList ApplySound(const CExportOptions& sound) override { return CExportPanelSetup(*m_pPanel).Apply(sound); }
    bool SetZoom(int percent) override { return m_pPanel->SetZoom(percent); }
    QWidget* SpectrumPane() override { return m_pPanel->SpectrumPane(); }

private:
    TPanel* m_pPanel;
    std::optional<CSoundCapture> m_capture;
};
} // namespace corvane
