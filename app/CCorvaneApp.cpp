// The application object: start-up, the polling main loop with its render tick, file commands.
#include "app/CCorvaneApp.h"

#include "app/CAboutDlg.h"
#include "app/CCorvaneDoc.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CDialogPrompts.h"
#include "app/CKeyLockWatcher.h"
#include "app/CQuitSignals.h"
#include "app/CommandIds.h"
#include "app/IPanelView.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSettings>
#include <QThread>

namespace corvane {
const QString CCorvaneApp::kOrganisation = QStringLiteral("Quellstone");
const QString CCorvaneApp::kApplication = QStringLiteral("Corvane");

namespace {
// While a modal dialog or menu runs its own event loop, the main loop's idle steps stop; this
// timer keeps the render tick going meanwhile. In the main loop it is one more idle step.
constexpr int kModalTickIntervalMs = 5;
} // namespace

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
    m_modalTickTimer.setTimerType(Qt::PreciseTimer);
    m_modalTickTimer.setInterval(kModalTickIntervalMs);
    connect(&m_modalTickTimer, &QTimer::timeout, this, [this] { OnRealtimeTick(); });
}

CCorvaneApp::~CCorvaneApp() = default;

bool CCorvaneApp::InitInstance(const QString& fileName, QString* error)
{
    QSettings settings(kOrganisation, kApplication);
    m_recentFiles.Load(settings);

    // A file that cannot be opened ends start-up before any window or sound appears.
    if (!fileName.isEmpty()) {
        const QString problem = CCorvaneDoc::CheckReadable(fileName);
        if (!problem.isEmpty()) {
            if (error)
                *error = problem;
            return false;
        }
    }

    m_pFrame = std::make_unique<CCorvaneMainFrame>();
    m_pDoc = std::make_unique<CCorvaneDoc>(*m_pPrompts, m_pFrame.get());
    m_pPanelView = m_makePanel();
    m_pFrame->SetView(m_pPanelView->Widget());

    connect(m_pFrame.get(), &CCorvaneMainFrame::Command, this, &CCorvaneApp::OnCommand);
    connect(m_pFrame.get(), &CCorvaneMainFrame::RecentFileChosen, this,
            &CCorvaneApp::OnOpenRecentFile);
    connect(m_pFrame.get(), &CCorvaneMainFrame::Closed, this, [this] { PostQuitMessage(0); });
    m_pQuitSignals = std::make_unique<CQuitSignals>([this](int code) { PostQuitMessage(code); });
    connect(m_pDoc.get(), &CCorvaneDoc::TitleChanged, m_pFrame.get(),
            &CCorvaneMainFrame::SetDocumentTitle);
    connect(m_pDoc.get(), &CCorvaneDoc::PathNameSet, this, [this](const QString& path) {
        m_recentFiles.Add(path);
        ShowRecentFiles();
    });

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
    m_pFrame->FitToView();

    m_pFrame->show();
    m_pFrame->raise();
    m_pFrame->activateWindow();
    m_pPanel = m_pPanelView.get();
    m_clock.Start(); // the first render tick is measured from here
    m_modalTickTimer.start();
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
        if (!handled)
            OnRealtimeTick();
    }
    m_modalTickTimer.stop();
    return m_nExitCode;
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
}

void CCorvaneApp::OnCommand(int id)
{
    switch (id) {
    case cmd::SoundLoop:
        m_pPanelView->OnSoundLoop();
        break;
    case cmd::SoundOneShot:
        m_pPanelView->OnSoundOneShot();
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
    case cmd::AppAbout:
        OnAppAbout();
        break;
    default:
        break;
    }
}

void CCorvaneApp::OnFileNew()
{
    // Never modified, so there is nothing to ask before starting over.
    if (m_pDoc->OnNewDocument())
        m_pPanelView->OnInitialUpdate();
}

void CCorvaneApp::OnFileOpen()
{
    const QString path = m_pPrompts->AskOpenFileName(m_pFrame.get(), CCorvaneDoc::kFilter);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CCorvaneApp::OpenDocumentFile(const QString& path)
{
    QString error;
    if (!m_pDoc->OnOpenDocument(path, &error)) {
        m_pPrompts->ShowError(m_pFrame.get(), kApplication, error);
        return false;
    }
    m_pPanelView->OnInitialUpdate();
    return true;
}

void CCorvaneApp::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.Paths().size())
        return;
    // A file that has gone away leaves the list, as the user cannot open it any more.
    if (!OpenDocumentFile(m_recentFiles.Paths()[index])) {
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
