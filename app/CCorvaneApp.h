// The application object: start-up, the polling main loop with its render tick, file commands.
#pragma once

#include "app/CRecentFileList.h"
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

    // Loads the recent-file list, opens `fileName` if one is given (reading nothing), builds the
    // document, main frame and panel, runs the panel's set-up, shows the window and starts the
    // render clock. Returns false, with `error` set, when the named file cannot be opened;
    // nothing is shown then.
    bool InitInstance(const QString& fileName, QString* error);

    // The main loop: handles whatever events are pending without ever waiting, and takes an
    // idle step whenever there were none. Returns the exit code of the quit request.
    int Run();
    // The idle step: at most once every 15 ms of clock time, ticks the panel. Returns 0.
    int OnRealtimeTick();
    // Saves the recent-file list. Returns 0.
    int ExitInstance();

    // Asks the main loop to end with `exitCode`; it stops before taking any further idle step.
    void PostQuitMessage(int exitCode);
    bool IsQuitPending() const { return m_bQuitPending; }

    // File and Help commands.
    void OnFileNew();
    void OnFileOpen();
    bool OpenDocumentFile(const QString& path);
    void OnOpenRecentFile(int index);
    void OnAppAbout();

    CCorvaneMainFrame* MainFrame() const { return m_pFrame.get(); }
    CCorvaneDoc* Document() const { return m_pDoc.get(); }
    IPanelView* Panel() const { return m_pPanel; }
    const CRecentFileList& RecentFiles() const { return m_recentFiles; }
    CRealtimeTicker& Ticker() { return m_ticker; }

private:
    void OnCommand(int id);
    void ShowRecentFiles();

    CRenderClock m_clock;
    bool m_bRealtime = true;         // polling loop; nothing clears it
    IPanelView* m_pPanel = nullptr;  // set at the end of start-up
    CRealtimeTicker m_ticker;
    std::function<void(std::int64_t*)> m_onTick;

    bool m_bQuitPending = false;
    int m_nExitCode = 0;

    PanelFactory m_makePanel;
    std::unique_ptr<IDocumentPrompts> m_pOwnPrompts;
    IDocumentPrompts* m_pPrompts;
    CRecentFileList m_recentFiles;
    std::unique_ptr<IPanelView> m_pPanelView;
    std::unique_ptr<CCorvaneDoc> m_pDoc;
    std::unique_ptr<CCorvaneMainFrame> m_pFrame; // owns the panel widget
    std::unique_ptr<CKeyLockWatcher> m_pKeyLocks;
    std::unique_ptr<CQuitSignals> m_pQuitSignals;
    QTimer m_modalTickTimer;
};
} // namespace corvane
