// The main window: menu bar, toolbar band with the two Sound buttons, status bar, the panel.
#include "app/CCorvaneMainFrame.h"

#include "app/CRecentFileList.h"
#include "app/CSoundOutputMenu.h"
#include "app/CommandIds.h"
#include "app/CommandStrings.h"
#include "app/ToolbarImages.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace corvane {
namespace {
QKeySequence Keys(QKeyCombination combination)
{
    return QKeySequence(combination);
}
} // namespace

CCorvaneMainFrame::CCorvaneMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("CCorvaneMainFrame"));
    setWindowTitle(LoadString(cmd::AppTitleString));
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    WatchBarVisibility();
}

CCorvaneMainFrame::~CCorvaneMainFrame() = default;

QString CCorvaneMainFrame::ComposeTitle(const QString& documentTitle, const QString& appTitle)
{
    if (documentTitle.isEmpty())
        return appTitle;
    return documentTitle + QStringLiteral(" - ") + appTitle;
}

void CCorvaneMainFrame::SetView(QWidget* view)
{
    setCentralWidget(view);
}

void CCorvaneMainFrame::FitToView()
{
    auto* area = qobject_cast<QScrollArea*>(centralWidget());
    QWidget* inner = area ? area->widget() : centralWidget();
    if (!inner)
        return;
    const int border = area ? 2 * area->frameWidth() : 0;
    int height = inner->height() + border + menuBar()->sizeHint().height();
    if (!m_pToolBar->isHidden())
        height += m_pToolBar->sizeHint().height();
    if (!statusBar()->isHidden())
        height += statusBar()->sizeHint().height();
    int width = inner->width() + border;
    if (IsSidePaneShown()) {
        // On a small screen the panel comes first: the pane gives way down to its minimum.
        const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
        int pane = m_pSideDock->sizeHint().width();
        if (const QScreen* shown = screen())
            pane = std::max(m_pSideDock->minimumSizeHint().width(),
                            std::min(pane, shown->availableSize().width() - width - separator));
        resizeDocks({m_pSideDock}, {pane}, Qt::Horizontal);
        width += pane + separator;
    }
    QSize wanted(width, height);
    if (const QScreen* shown = screen())
        wanted = wanted.boundedTo(shown->availableSize());
    resize(wanted);
}

void CCorvaneMainFrame::SetSidePane(QWidget* pane)
{
    if (!m_pSideDock) {
        // A plain pane: no title bar, no floating; the View menu shows and hides it.
        m_pSideDock = new QDockWidget(this);
        m_pSideDock->setObjectName(QStringLiteral("SidePane"));
        m_pSideDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
        m_pSideDock->setTitleBarWidget(new QWidget(m_pSideDock));
        m_pSideDock->setAllowedAreas(Qt::RightDockWidgetArea);
        addDockWidget(Qt::RightDockWidgetArea, m_pSideDock);
        m_pSideDock->hide();
    }
    m_pSideDock->setWidget(pane);
}

void CCorvaneMainFrame::ShowSidePane(bool show)
{
    if (m_pSideDock)
        m_pSideDock->setVisible(show);
    m_actions.value(cmd::ViewSpectrum)->setChecked(show && m_pSideDock);
}

bool CCorvaneMainFrame::IsSidePaneShown() const
{
    return m_pSideDock && !m_pSideDock->isHidden();
}

void CCorvaneMainFrame::CheckZoomCommand(int id)
{
    if (QAction* action = m_actions.value(id); action && action->isCheckable())
        action->setChecked(true);
}

void CCorvaneMainFrame::SetDocumentTitle(const QString& documentTitle)
{
    setWindowTitle(ComposeTitle(documentTitle, LoadString(cmd::AppTitleString)));
}

QAction* CCorvaneMainFrame::AddCommand(QMenu* menu, const QString& text, int id,
                                       const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(StatusPromptFor(id));
    action->setToolTip(ToolTipFor(id));
    action->setShortcuts(keys);
    menu->addAction(action);
    // Added to the frame as well, so that the shortcut works wherever focus is in the window.
    addAction(action);
    m_actions.insert(id, action);
    connect(action, &QAction::triggered, this, [this, id] { emit Command(id); });
    return action;
}

void CCorvaneMainFrame::CreateMenus()
{
    QMenuBar* bar = menuBar();

    m_pFileMenu = bar->addMenu(QStringLiteral("&File"));
    // The two separators after "Save As..." are both part of the menu; keep them both.
    m_pFileMenu->setSeparatorsCollapsible(false);
    AddCommand(m_pFileMenu, QStringLiteral("&New\tCtrl+N"), cmd::FileNew,
               {Keys(Qt::CTRL | Qt::Key_N)});
    AddCommand(m_pFileMenu, QStringLiteral("&Open...\tCtrl+O"), cmd::FileOpen,
               {Keys(Qt::CTRL | Qt::Key_O)});
    m_pSoundsMenu = m_pFileMenu->addMenu(QStringLiteral("Soun&ds"));
    SetReadySounds({});
    AddCommand(m_pFileMenu, QStringLiteral("&Save\tCtrl+S"), cmd::FileSave,
               {Keys(Qt::CTRL | Qt::Key_S)});
    AddCommand(m_pFileMenu, QStringLiteral("Save &As..."), cmd::FileSaveAs);
    AddCommand(m_pFileMenu, QStringLiteral("&Export Audio..."), cmd::FileExportAudio);
    m_pFileMenu->addSeparator();
    m_pFileMenu->addSeparator();
    m_pRecentPlaceholder = new QAction(QStringLiteral("Recent File"), this);
    m_pRecentPlaceholder->setData(cmd::FileMruFirst);
    m_pRecentPlaceholder->setStatusTip(StatusPromptFor(cmd::FileMruFirst));
    m_pRecentPlaceholder->setEnabled(false);
    m_pFileMenu->addAction(m_pRecentPlaceholder);
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    QAction* exitAction = AddCommand(m_pFileMenu, QStringLiteral("E&xit"), cmd::AppExit);
    disconnect(exitAction, &QAction::triggered, this, nullptr);
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

    // Nothing in the program handles the Edit commands, so they stay greyed.
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    AddCommand(edit, QStringLiteral("&Undo\tCtrl+Z"), cmd::EditUndo,
               {Keys(Qt::CTRL | Qt::Key_Z), Keys(Qt::ALT | Qt::Key_Backspace)})
        ->setEnabled(false);
    edit->addSeparator();
    AddCommand(edit, QStringLiteral("Cu&t\tCtrl+X"), cmd::EditCut,
               {Keys(Qt::CTRL | Qt::Key_X), Keys(Qt::SHIFT | Qt::Key_Delete)})
        ->setEnabled(false);
    AddCommand(edit, QStringLiteral("&Copy\tCtrl+C"), cmd::EditCopy,
               {Keys(Qt::CTRL | Qt::Key_C), Keys(Qt::CTRL | Qt::Key_Insert)})
        ->setEnabled(false);
    AddCommand(edit, QStringLiteral("&Paste\tCtrl+V"), cmd::EditPaste,
               {Keys(Qt::CTRL | Qt::Key_V), Keys(Qt::SHIFT | Qt::Key_Insert)})
        ->setEnabled(false);

    QMenu* sound = m_pSoundMenu = bar->addMenu(QStringLiteral("Sound"));
    AddCommand(sound, QStringLiteral("Loop"), cmd::SoundLoop)
        ->setIcon(QIcon(QPixmap::fromImage(LoopButtonImage())));
    AddCommand(sound, QStringLiteral("OneShot"), cmd::SoundOneShot)
        ->setIcon(QIcon(QPixmap::fromImage(OneShotButtonImage())));
    for (QAction* a : sound->actions())
        a->setIconVisibleInMenu(false);
    sound->addSeparator();
    new CSoundOutputMenu(sound, statusBar(), this);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    for (int id : {cmd::ViewToolbar, cmd::ViewStatusBar}) {
        QAction* toggle = AddCommand(
            view, id == cmd::ViewToolbar ? QStringLiteral("&Toolbar") : QStringLiteral("&Status Bar"),
            id);
        disconnect(toggle, &QAction::triggered, this, nullptr);
        toggle->setCheckable(true);
        toggle->setChecked(true);
        connect(toggle, &QAction::triggered, this, [this, id](bool show) {
            QWidget* barWidget = id == cmd::ViewToolbar ? static_cast<QWidget*>(m_pToolBar)
                                                        : static_cast<QWidget*>(statusBar());
            barWidget->setVisible(show);
        });
    }

    AddCommand(view, QStringLiteral("S&pectrum"), cmd::ViewSpectrum)->setCheckable(true);
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    auto* zoomSteps = new QActionGroup(this);
    const std::pair<int, const char*> steps[] = {{cmd::ViewZoom100, "&100 %"}, {cmd::ViewZoom125, "12&5 %"},
                                                 {cmd::ViewZoom150, "15&0 %"}, {cmd::ViewZoom200, "&200 %"}};
    for (const auto& [id, text] : steps) {
        QAction* step = AddCommand(zoom, QString::fromLatin1(text), id);
        step->setCheckable(true);
        step->setChecked(id == cmd::ViewZoom100);
        zoomSteps->addAction(step);
    }

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    AddCommand(help, QStringLiteral("&About Corvane..."), cmd::AppAbout);
}

void CCorvaneMainFrame::CreateToolBar()
{
    // One movable band with a grip at the top, like a toolbar in a rebar.
    m_pToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_pToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(false);
    m_pToolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_pToolBar->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    for (int id : {cmd::SoundLoop, cmd::SoundOneShot}) {
        QAction* action = m_actions.value(id);
        m_pToolBar->addAction(action);
        auto* button = qobject_cast<QToolButton*>(m_pToolBar->widgetForAction(action));
        button->setAutoRaise(true);
        if (ToolTipFor(id).isEmpty()) {
            m_silentButtons.append(button);
            button->installEventFilter(this);
        }
    }
}

void CCorvaneMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    // Prompts are shown as temporary messages, which cover this pane; "Ready" returns after.
    m_pMessagePane = new QLabel(LoadString(cmd::IdleMessageString), bar);
    bar->addWidget(m_pMessagePane, 1);
    for (int id : {cmd::IndicatorCaps, cmd::IndicatorNum, cmd::IndicatorScrl}) {
        auto* pane = new QLabel(bar);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(LoadString(id)) + 8);
        bar->addPermanentWidget(pane);
        m_indicators.insert(id, pane);
    }
}

void CCorvaneMainFrame::WatchBarVisibility()
{
    m_pToolBar->installEventFilter(this);
    statusBar()->installEventFilter(this);
}

void CCorvaneMainFrame::SetReadySounds(const QStringList& names)
{
    m_pSoundsMenu->clear();
    for (const QString& name : names) {
        // Names are shown as they are: an ampersand in one is not a mnemonic.
        QAction* action = m_pSoundsMenu->addAction(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setStatusTip(QStringLiteral("Open the ready-made sound \"%1\" as a new document").arg(name));
        connect(action, &QAction::triggered, this, [this, name] { emit ReadySoundChosen(name); });
    }
    if (names.isEmpty())
        m_pSoundsMenu->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

void CCorvaneMainFrame::SetRecentFiles(const QStringList& paths)
{
    // Entries are reused, not deleted: this may run while one of them is being triggered.
    while (m_recentActions.size() < paths.size()) {
        const int i = static_cast<int>(m_recentActions.size());
        auto* action = new QAction(this);
        action->setData(cmd::FileMruFirst + i);
        action->setStatusTip(StatusPromptFor(cmd::FileMruFirst + i));
        m_pFileMenu->insertAction(m_pRecentSeparator, action);
        connect(action, &QAction::triggered, this, [this, i] { emit RecentFileChosen(i); });
        m_recentActions.append(action);
    }
    for (int i = 0; i < m_recentActions.size(); ++i) {
        const bool used = i < paths.size();
        m_recentActions[i]->setVisible(used);
        m_recentActions[i]->setText(used ? CRecentFileList::MenuText(i, paths[i]) : QString());
    }
    m_pRecentPlaceholder->setVisible(paths.isEmpty());
}

QList<QAction*> CCorvaneMainFrame::RecentFileActions() const
{
    QList<QAction*> shown;
    for (QAction* action : m_recentActions)
        if (action->isVisible())
            shown.append(action);
    return shown;
}

void CCorvaneMainFrame::SetKeyIndicators(bool capsLock, bool numLock, bool scrollLock)
{
    const std::pair<int, bool> states[] = {
        {cmd::IndicatorCaps, capsLock}, {cmd::IndicatorNum, numLock}, {cmd::IndicatorScrl, scrollLock}};
    for (const auto& [id, on] : states)
        m_indicators.value(id)->setText(on ? LoadString(id) : QString());
}

void CCorvaneMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_closeQuery && !m_closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

bool CCorvaneMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && m_silentButtons.contains(watched))
        return true; // the command has no tooltip part; its prompt goes to the status bar only
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        // Follow what the user asked for, not the window being minimised or closed.
        if (watched == m_pToolBar)
            m_actions.value(cmd::ViewToolbar)->setChecked(m_pToolBar->isVisibleTo(this));
        else if (watched == statusBar())
            m_actions.value(cmd::ViewStatusBar)->setChecked(statusBar()->isVisibleTo(this));
    }
    return QMainWindow::eventFilter(watched, event);
}
} // namespace corvane
