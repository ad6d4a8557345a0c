// The application object: start-up, the polling main loop with its render tick, file commands.
#include "app/CCorvaneApp.h"

#include "app/CAboutDlg.h"
#include "app/CAppMediaHost.h"
#include "app/CCorvaneDoc.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CDialogPrompts.h"
#include "app/CKeyLockWatcher.h"
#include "app/CListeningMenu.h"
#include "app/CMprisService.h"
#include "app/CPauseControl.h"
#include "app/CSleepTimer.h"
#include "app/CQuitSignals.h"
#include "app/CSoundLibrary.h"
#include "app/ExportAudioCommand.h"
#include "app/CommandIds.h"
#include "app/IPanelView.h"
#include "app/MediaKeys.h"
#include "app/WatchUserChanges.h"
#include "app/export/CSoundFile.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace corvane {
const QString CCorvaneApp::kOrganisation = QStringLiteral("Quellstone");
const QString CCorvaneApp::kApplication = QStringLiteral("Corvane");


CCorvaneApp::CCorvaneApp(PanelFactory makePanel, IDocumentPrompts* prompts)
    : m_makePanel(std::move(makePanel)), m_pPrompts(prompts)
{
    if (!m_pPrompts) {
        m_pOwnPrompts = std::make_unique<CDialogPrompts>();
        m_pPrompts = m_pOwnPrompts.get();
    }
    // Built once: the idle step runs thousands of times a second.
    m_onTick = [this](std::int64_t* pTime) {
        if (m_pPanel)
            m_pPanel->OnEngineTick(pTime);
    };
    m_pPause = std::make_unique<CPauseControl>([this](bool unity, double seconds) {
        if (m_pPanelView)
            m_pPanelView->FadeOutput(unity, seconds);
    });
    m_pSleepTimer = std::make_unique<CSleepTimer>();
    connect(m_pSleepTimer.get(), &CSleepTimer::fadeBegins, m_pPause.get(), &CPauseControl::BeginSleepFade);
    connect(m_pSleepTimer.get(), &CSleepTimer::expired, this, &CCorvaneApp::OnSleepTimerExpired);
    // Precise: the tick must follow the gate's opening within about a millisecond.
    m_gateTimer.setTimerType(Qt::PreciseTimer);
    m_gateTimer.setSingleShot(true);
    connect(&m_gateTimer, &QTimer::timeout, this, &CCorvaneApp::OnGateTimer);
}

CCorvaneApp::~CCorvaneApp() = default;

bool CCorvaneApp::InitInstance(const QString& fileName, QString* error)
{
    QSettings settings(kOrganisation, kApplication);
    m_recentFiles.Load(settings);
    QString viewProblem;
    m_viewOptions = LoadViewOptions(settings, &viewProblem);
    if (!viewProblem.isEmpty())
        std::fprintf(stderr, "corvane: settings: %s\n", qPrintable(viewProblem));

    // A file that cannot be opened ends start-up before any window or sound appears.
    if (!fileName.isEmpty()) {
        CExportOptions sound;
        QString problem;
        if (!CSoundFile::Load(fileName, &sound, nullptr, &problem)) {
            if (error)
                *error = problem;
            return false;
        }
    }

    m_pFrame = std::make_unique<CCorvaneMainFrame>();
    m_pDoc = std::make_unique<CCorvaneDoc>(*m_pPrompts, m_pFrame.get());
    m_pPanelView = m_makePanel();
    m_pFrame->SetView(m_pPanelView->Widget());
    m_pListeningMenu = new CListeningMenu(*m_pFrame, *this);

    connect(m_pFrame.get(), &CCorvaneMainFrame::Command, this, &CCorvaneApp::OnCommand);
    connect(m_pFrame.get(), &CCorvaneMainFrame::RecentFileChosen, this,
            &CCorvaneApp::OnOpenRecentFile);
    connect(m_pFrame.get(), &CCorvaneMainFrame::Closed, this, [this] { PostQuitMessage(0); });
    connect(m_pFrame.get(), &CCorvaneMainFrame::ReadySoundChosen, this, &CCorvaneApp::OpenReadySound);
    m_pFrame->SetReadySounds(CSoundLibrary().Names());
    m_pQuitSignals = std::make_unique<CQuitSignals>([this](int code) { PostQuitMessage(code); });
    connect(m_pDoc.get(), &CCorvaneDoc::TitleChanged, m_pFrame.get(),
            &CCorvaneMainFrame::SetDocumentTitle);
    connect(m_pDoc.get(), &CCorvaneDoc::PathNameSet, this, [this](const QString& path) {
        m_recentFiles.Add(path);
        ShowRecentFiles();
    });
    m_pDoc->SetSoundSource([this] { return m_pPanelView->CaptureSound(); });
    m_pFrame->SetCloseQuery([this] { return m_pDoc->SaveModified(); });
    WatchUserChanges(m_pPanelView->Widget(), [this] { m_pDoc->SetModifiedFlag(true); });

    if (fileName.isEmpty()) {
        m_pDoc->OnNewDocument();
    } else if (QString problem; !m_pDoc->OnOpenDocument(fileName, &problem)) {
        if (error)
            *error = problem; // the file went away since the check above
        return false;
    }
    ShowRecentFiles();
    m_pKeyLocks = std::make_unique<CKeyLockWatcher>([this](const KeyLocks& locks) {
        m_pFrame->SetKeyIndicators(locks.capsLock, locks.numLock, locks.scrollLock);
    });

    // The frame is complete: the panel builds its engine and starts the sound.
    m_pPanelView->OnInitialUpdate();
    m_pPause->Reapply();
    ApplyViewOptions();
    if (!fileName.isEmpty())
        ApplyDocumentSound();
    m_pFrame->FitToView();

    m_pMediaHost = std::make_unique<CAppMediaHost>(*m_pPause, *m_pDoc, *m_pFrame);
    InstallMediaKeys(*m_pFrame, *m_pMediaHost);
    m_pMpris = std::make_unique<CMprisService>(*m_pMediaHost);
    connect(m_pPause.get(), &CPauseControl::pausedChanged, m_pMpris.get(), &CMprisService::OnPausedChanged);
    connect(m_pDoc.get(), &CCorvaneDoc::TitleChanged, m_pMpris.get(), &CMprisService::OnTitleChanged);
    m_pMpris->Register();

    m_pFrame->show();
    m_pFrame->raise();
    m_pFrame->activateWindow();
    m_pPanel = m_pPanelView.get();
    m_clock.Start(); // the first render tick is measured from here
    m_gateTimer.start(CRealtimeTicker::kIntervalMs);
    return true;
}

int CCorvaneApp::Run()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    const QEventLoop::ProcessEventsFlags flags =
        m_bRealtime ? QEventLoop::AllEvents : QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents;
    while (!m_bQuitPending) {
        const bool handled = dispatcher->processEvents(flags);
        if (m_bQuitPending)
            break;
        if (handled)
            continue;
        OnRealtimeTick();
        if (m_bPowerSaving && m_bRealtime && !m_bQuitPending)
            RestUntilEventOrGate();
    }
    m_gateTimer.stop();
    return m_nExitCode;
}

void CCorvaneApp::RestUntilEventOrGate()
{
    // The idle step has just sampled the clock, so its time is the present.
    const std::int64_t due = m_ticker.TimeUntilOpen(m_clock.GetTime());
    if (due <= 0)
        return;
    // Whole milliseconds, rounded up: the wake-up comes at the opening or just after it.
    const int ms = static_cast<int>((due + 9999) / 10000);
    if (m_onRest)
        m_onRest(ms);
    m_gateTimer.start(ms);
    QAbstractEventDispatcher::instance(thread())->processEvents(QEventLoop::AllEvents |
                                                                QEventLoop::WaitForMoreEvents);
}

void CCorvaneApp::OnGateTimer()
{
    // Nothing ticks after the quit request, not even from a modal loop still running.
    if (m_bQuitPending)
        return;
    // A modal dialog or menu runs its own event loop, where the main loop's idle steps stop: the
    // render tick goes on from here meanwhile, on time. In the main loop this timer only wakes
    // a resting loop, which then takes its own idle step.
    if (QThread::currentThread()->loopLevel() > 0) {
        OnRealtimeTick();
        const std::int64_t due = m_ticker.TimeUntilOpen(m_clock.GetTime());
        m_gateTimer.start(std::max(1, static_cast<int>((due + 9999) / 10000)));
        return;
    }
    m_gateTimer.start(CRealtimeTicker::kIntervalMs);
}

int CCorvaneApp::OnRealtimeTick()
{
    return m_ticker.OnRealtimeTick(m_clock, m_onTick);
}

int CCorvaneApp::ExitInstance()
{
    QSettings settings(kOrganisation, kApplication);
    m_recentFiles.Save(settings);
    return 0;
}

void CCorvaneApp::PostQuitMessage(int exitCode)
{
    // The first request decides the exit code, as a quit message already queued would.
    if (m_bQuitPending)
        return;
    m_bQuitPending = true;
    m_nExitCode = exitCode;
    m_gateTimer.stop();
}

void CCorvaneApp::SetSleepTimer(double seconds)
{
    m_pPause->CancelSleepFade();
    if (seconds > 0.0)
        m_pSleepTimer->Start(seconds);
    else
        m_pSleepTimer->Stop();
}

void CCorvaneApp::OnSleepTimerExpired()
{
    // Quitting goes the way File > Exit goes, so settings and recent files are saved.
    if (m_bQuitWhenSleepEnds && m_pFrame)
        m_pFrame->close();
    else
        m_pPause->Pause();
}

void CCorvaneApp::OnCommand(int id)
{
    switch (id) {
    case cmd::SoundLoop:
        m_pPanelView->OnSoundLoop();
        m_pDoc->SetModifiedFlag(true);
        break;
    case cmd::SoundOneShot:
        m_pPanelView->OnSoundOneShot();
        m_pDoc->SetModifiedFlag(true);
        break;
    case cmd::FileNew:
        OnFileNew();
        break;
    case cmd::FileOpen:
        OnFileOpen();
        break;
    case cmd::FileSave:
        m_pDoc->DoFileSave();
        break;
    case cmd::FileSaveAs:
        m_pDoc->DoSave(m_pDoc->GetPathName(), true);
        break;
    case cmd::FileExportAudio:
        RunExportAudio(m_pFrame.get(), m_pPanelView->CaptureSound(), QCoreApplication::applicationFilePath());
        break;
    case cmd::AppAbout:
        OnAppAbout();
        break;
    case cmd::ViewSpectrum:
        OnViewSpectrum(!m_viewOptions.spectrum);
        break;
    default:
        if (const int percent = ZoomPercentOfCommand(id))
            OnViewZoom(percent);
        break;
    }
}

void CCorvaneApp::OnFileNew()
{
    if (m_pDoc->SaveModified() && m_pDoc->OnNewDocument()) {
        m_pPanelView->OnInitialUpdate();
        m_pPause->Reapply(); // the set-up may have built a new output device
    }
}

void CCorvaneApp::OnFileOpen()
{
    const QString path = m_pPrompts->AskOpenFileName(m_pFrame.get(), CCorvaneDoc::kFilter);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CCorvaneApp::OpenDocumentFile(const QString& path)
{
    const bool same = QFileInfo(path).absoluteFilePath() == m_pDoc->GetPathName();
    if (same && !m_pDoc->IsModified())
        return true; // already open as it is on disk
    // A file that will be refused asks nothing and changes nothing.
    CExportOptions sound;
    QString error;
    if (!CSoundFile::Load(path, &sound, nullptr, &error)) {
        m_pPrompts->ShowError(m_pFrame.get(), kApplication, error);
        return false;
    }
    if (!m_pDoc->SaveModified())
        return true; // the user kept the document: nothing went wrong with the file
    if (!m_pDoc->OnOpenDocument(path, &error)) {
        m_pPrompts->ShowError(m_pFrame.get(), kApplication, error); // it changed meanwhile
        return false;
    }
    m_pPanelView->OnInitialUpdate();
    m_pPause->Reapply(); // the set-up may have built a new output device
    ApplyDocumentSound();
    return true;
}

bool CCorvaneApp::OpenReadySound(const QString& name)
{
    const QString path = CSoundLibrary().PathOf(name);
    CExportOptions sound;
    QString error = QStringLiteral("The ready-made sound \"%1\" cannot be found.").arg(name);
    if (path.isEmpty() || !CSoundFile::Load(path, &sound, nullptr, &error)) {
        m_pPrompts->ShowError(m_pFrame.get(), kApplication, error);
        return false;
    }
    // A new, untitled document that starts with the sound: Save asks where to keep it.
    if (!m_pDoc->SaveModified() || !m_pDoc->OnNewDocument())
        return true;
    m_pPanelView->OnInitialUpdate();
    for (const QString& note : m_pPanelView->ApplySound(sound))
        std::fprintf(stderr, "%s\n", qPrintable(note));
    m_pDoc->SetModifiedFlag(false);
    return true;
}

void CCorvaneApp::ApplyDocumentSound()
{
    // Notes and warnings go where a terminal user sees them; a file saved here has none.
    for (const QString& warning : m_pDoc->Warnings())
        std::fprintf(stderr, "corvane: %s\n", qPrintable(warning));
    for (const QString& note : m_pPanelView->ApplySound(m_pDoc->Sound()))
        std::fprintf(stderr, "%s\n", qPrintable(note));
    m_pDoc->SetModifiedFlag(false);
}

void CCorvaneApp::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.Paths().size())
        return;
    // A file that has gone away leaves the list, as the user cannot open it any more.
    const QString path = m_recentFiles.Paths()[index];
    if (!OpenDocumentFile(path) && !QFileInfo::exists(path)) {
        m_recentFiles.Remove(index);
        ShowRecentFiles();
    }
}

void CCorvaneApp::OnAppAbout()
{
    CAboutDlg about(m_pFrame.get());
    about.exec();
}

void CCorvaneApp::ShowRecentFiles()
{
    m_pFrame->SetRecentFiles(m_recentFiles.Paths());
}
} // namespace corvane
