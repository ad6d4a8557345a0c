// The application object: start-up, the polling main loop with its render tick, file commands.
#pragma once

#include "app/CRecentFileList.h"
#include "app/CViewOptions.h"
#include "engine/CRealtimeTicker.h"
#include "engine/CRenderClock.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

namespace corvane {
class CCorvaneDoc;
class CCorvaneMainFrame;
class CKeyLockWatcher;
class CListeningMenu;
class CAppMediaHost;
class CMprisService;
class CPauseControl;
class CSleepTimer;
class CQuitSignals;
class IDocumentPrompts;
class IPanelView;

class CCorvaneApp : public QObject {
    Q_OBJECT
public:
    // Settings live under this organisation and application name.
    static const QString kOrganisation; // "Quellstone"
    static const QString kApplication;  // "Corvane"

    using PanelFactory = std::function<std::unique_ptr<IPanelView>()>;

    // `makePanel` builds the synthesizer panel; `prompts` answers the file commands' questions
    // (null: the desktop's file dialogs and message boxes).
    explicit CCorvaneApp(PanelFactory makePanel, IDocumentPrompts* prompts = nullptr);
    ~CCorvaneApp() override;

    // Loads the recent-file list, builds the document, main frame and panel, runs the panel's
    // set-up, applies the sound file `fileName` if one is given, shows the window and starts
    // the render clock. Returns false, with `error` naming the file, line and key, when the
    // file is refused; nothing is shown then.
    bool InitInstance(const QString& fileName, QString* error);

    // The main loop: handles whatever events are pending and takes an idle step whenever there
    // were none. With Power Saving it then rests until the next event or until the render gate
    // opens, whichever comes first; without, it polls on at once. Returns the exit code of the
    // quit request.
    int Run();
    // Power Saving (the default) lets the loop rest between ticks; takes effect at once.
    void SetPowerSaving(bool on) { m_bPowerSaving = on; }
    bool IsPowerSaving() const { return m_bPowerSaving; }
    // Told the length of each rest in milliseconds just before the loop starts it (tests move an
    // injected clock on with it).
    void SetRestObserver(std::function<void(int ms)> observer) { m_onRest = std::move(observer); }
    // The idle step: at most once every 15 ms of clock time, ticks the panel. Returns 0.
    int OnRealtimeTick();
    // Saves the recent-file list. Returns 0.
    int ExitInstance();

    // Asks the main loop to end with `exitCode`; it stops before taking any further idle step.
    void PostQuitMessage(int exitCode);
    bool IsQuitPending() const { return m_bQuitPending; }

    // File and Help commands. New, Open and the recent files ask to save a modified document
    // first; reopening the open, unmodified document does nothing.
    void OnFileNew();
    void OnFileOpen();
    bool OpenDocumentFile(const QString& path);
    void OnOpenRecentFile(int index);
    // File > Sounds: the ready-made sound called `name` as a new, untitled document.
    bool OpenReadySound(const QString& name);
    void OnAppAbout();
    // View > Spectrum and View > Zoom (CCorvaneAppView.cpp); the choice is remembered.
    void OnViewSpectrum(bool show);
    void OnViewZoom(int percent);
    const ViewOptions& GetViewOptions() const { return m_viewOptions; }

    CCorvaneMainFrame* MainFrame() const { return m_pFrame.get(); }
    CCorvaneDoc* Document() const { return m_pDoc.get(); }
    IPanelView* Panel() const { return m_pPanel; }
    const CRecentFileList& RecentFiles() const { return m_recentFiles; }
    CRealtimeTicker& Ticker() { return m_ticker; }
    // Pause and resume with fades (also what the desktop's media keys reach).
    CPauseControl& PauseControl() { return *m_pPause; }
    CSleepTimer& SleepTimer() { return *m_pSleepTimer; }
    // Starts the sleep timer anew with `seconds`, or switches it off with 0; a fade-out that had
    // begun comes back up.
    void SetSleepTimer(double seconds);
    // When the sleep timer ends: quit as File > Exit does (true) or pause (false, the default).
    void SetQuitWhenSleepTimerEnds(bool quit) { m_bQuitWhenSleepEnds = quit; }
    bool QuitsWhenSleepTimerEnds() const { return m_bQuitWhenSleepEnds; }

private:
    void OnCommand(int id);
    void OnGateTimer();
    void OnSleepTimerExpired();
    void RestUntilEventOrGate();
    // Puts the document's sound onto the panel after its set-up; the document is unmodified.
    void ApplyDocumentSound();
    void ShowRecentFiles();
    void ApplyViewOptions();

    CRenderClock m_clock;
    bool m_bRealtime = true;         // polling loop; nothing clears it
    bool m_bPowerSaving = true;      // the polling loop rests between ticks
    std::function<void(int)> m_onRest;
    IPanelView* m_pPanel = nullptr;  // set at the end of start-up
    CRealtimeTicker m_ticker;
    std::function<void(std::int64_t*)> m_onTick;

    bool m_bQuitPending = false;
    int m_nExitCode = 0;

    PanelFactory m_makePanel;
    std::unique_ptr<IDocumentPrompts> m_pOwnPrompts;
    IDocumentPrompts* m_pPrompts;
    CRecentFileList m_recentFiles;
    ViewOptions m_viewOptions;
    std::unique_ptr<IPanelView> m_pPanelView;
    std::unique_ptr<CCorvaneDoc> m_pDoc;
    std::unique_ptr<CCorvaneMainFrame> m_pFrame; // owns the panel widget
    std::unique_ptr<CKeyLockWatcher> m_pKeyLocks;
    std::unique_ptr<CQuitSignals> m_pQuitSignals;
    std::unique_ptr<CPauseControl> m_pPause;
    std::unique_ptr<CSleepTimer> m_pSleepTimer;
    bool m_bQuitWhenSleepEnds = false;
    CListeningMenu* m_pListeningMenu = nullptr; // owned by the frame
    std::unique_ptr<CAppMediaHost> m_pMediaHost;  // media keys and the desktop's player controls
    std::unique_ptr<CMprisService> m_pMpris;
    QTimer m_gateTimer; // wakes a resting loop, and ticks while a modal loop runs
};
} // namespace corvane
