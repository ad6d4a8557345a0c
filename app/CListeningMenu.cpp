// The Sound menu's long-listening commands, their toolbar button and status panes.
#include "app/CListeningMenu.h"

#include "app/CCorvaneApp.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CPauseControl.h"
#include "app/CSleepTimer.h"
#include "app/CommandIds.h"
#include "app/CommandStrings.h"
#include "app/ToolbarImages.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include <functional>

namespace corvane {
namespace {
const QString kPausedText = QStringLiteral("Paused");
const QString kPowerSavingKey = QStringLiteral("Sound/PowerSaving");
const QString kSleepQuitKey = QStringLiteral("Sound/QuitWhenSleepTimerEnds");

QSettings Settings()
{
    return QSettings(CCorvaneApp::kOrganisation, CCorvaneApp::kApplication);
}

QAction* AddCheckItem(CCorvaneMainFrame& frame, QMenu* menu, const QString& text, int id,
                      const QList<QKeySequence>& keys = {})
{
    QAction* action = frame.AddCommand(menu, text, id, keys);
    action->setCheckable(true);
    return action;
}

// A check item whose state is kept in the settings under `key`: `apply` takes the remembered
// state at once and every change after it, for as long as `owner` lives.
QAction* AddRememberedCheckItem(QObject* owner, CCorvaneMainFrame& frame, QMenu* menu, const QString& text, int id,
                                const QString& key, bool byDefault, const std::function<void(bool)>& apply)
{
    QAction* action = AddCheckItem(frame, menu, text, id);
    action->setChecked(Settings().value(key, byDefault).toBool());
    apply(action->isChecked());
    QObject::connect(action, &QAction::toggled, owner, [key, apply](bool on) {
        apply(on);
        Settings().setValue(key, on);
    });
    return action;
}

// A sunken pane left of the lock-key indicators, wide enough for `widest`.
QLabel* AddPane(CCorvaneMainFrame& frame, const QString& name, const QString& widest)
{
    auto* pane = new QLabel(frame.statusBar());
    pane->setObjectName(name);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widest) + 8);
    frame.statusBar()->insertPermanentWidget(1, pane);
    return pane;
}
} // namespace

CListeningMenu::CListeningMenu(CCorvaneMainFrame& frame, CCorvaneApp& app)
    : QObject(&frame), m_frame(frame), m_app(app)
{
    CPauseControl& pause = app.PauseControl();
    QMenu* sound = frame.SoundMenu();
    sound->addSeparator();
    // Space belongs to the panel's buttons and check boxes; Ctrl+Space is the media players' key.
    m_pPause = AddCheckItem(frame, sound, QStringLiteral("&Pause\tCtrl+Space"), cmd::SoundPause,
                            {QKeySequence(Qt::CTRL | Qt::Key_Space), QKeySequence(Qt::Key_Pause)});
    m_pPause->setIcon(QIcon(QPixmap::fromImage(PauseButtonImage())));
    m_pPause->setIconVisibleInMenu(false);
    frame.ToolBar()->addAction(m_pPause);
    m_pPausedPane = AddPane(frame, QStringLiteral("PausedPane"), kPausedText);

    connect(m_pPause, &QAction::triggered, &pause, [&pause](bool checked) {
        if (checked)
            pause.Pause();
        else
            pause.Resume();
    });
    connect(&pause, &CPauseControl::pausedChanged, this, &CListeningMenu::ShowPaused);
    ShowPaused(pause.IsPaused());

    AddSleepCommands(sound);

    sound->addSeparator();
    m_pPowerSaving = AddRememberedCheckItem(this, frame, sound, QStringLiteral("Power Sa&ving"), cmd::SoundPowerSaving,
                                            kPowerSavingKey, true, [&app](bool on) { app.SetPowerSaving(on); });
}

const QList<int>& CListeningMenu::PresetSeconds()
{
    static const QList<int> presets = {15 * 60, 30 * 60, 45 * 60, 60 * 60, 90 * 60, 120 * 60};
    return presets;
}

void CListeningMenu::AddSleepCommands(QMenu* sound)
{
    m_pSleepMenu = sound->addMenu(QStringLiteral("&Sleep Timer"));
    m_pSleepMenu->menuAction()->setStatusTip(StatusPromptFor(cmd::SoundSleepTimer));
    m_pSleepChoices = new QActionGroup(this);
    const auto choice = [this](const QString& text, int seconds) {
        QAction* action = m_pSleepMenu->addAction(text);
        action->setCheckable(true);
        action->setData(seconds);
        m_pSleepChoices->addAction(action);
        return action;
    };
    m_pSleepOff = choice(QStringLiteral("&Off"), 0);
    const QStringList names = {QStringLiteral("&15 min"), QStringLiteral("&30 min"), QStringLiteral("&45 min"),
                               QStringLiteral("1 &hour"), QStringLiteral("1.5 h&ours"), QStringLiteral("&2 hours")};
    for (int i = 0; i < names.size(); ++i)
        choice(names[i], PresetSeconds()[i]);
    m_pSleepMenu->addSeparator();
    m_pSleepCustom = choice(QStringLiteral("&Custom..."), -1);
    m_pSleepOff->setChecked(true);
    connect(m_pSleepChoices, &QActionGroup::triggered, this, [this](QAction* action) {
        if (action == m_pSleepCustom)
            AskCustomLength();
        else
            m_app.SetSleepTimer(action->data().toInt());
    });

    m_pSleepQuit = AddRememberedCheckItem(this, m_frame, sound, QStringLiteral("&Quit When Sleep Timer Ends"),
                                          cmd::SoundSleepQuit, kSleepQuitKey, false,
                                          [this](bool quit) { m_app.SetQuitWhenSleepTimerEnds(quit); });

    m_pSleepPane = AddPane(m_frame, QStringLiteral("SleepPane"), CSleepTimer::FormatRemaining(24 * 3600 * 1000));
    CSleepTimer& timer = m_app.SleepTimer();
    connect(&timer, &CSleepTimer::remainingChanged, m_pSleepPane, &QLabel::setText);
    connect(&timer, &CSleepTimer::lengthChanged, this, &CListeningMenu::ShowSleepLength);
    ShowSleepLength(timer.LengthSeconds());
}

void CListeningMenu::AskCustomLength()
{
    const int current = static_cast<int>(m_app.SleepTimer().LengthSeconds() / 60.0);
    bool ok = false;
    const int minutes = QInputDialog::getInt(&m_frame, QStringLiteral("Sleep Timer"),
                                             QStringLiteral("Minutes until the sound fades out (1 to 1440):"),
                                             current > 0 ? current : 60, 1, 1440, 1, &ok);
    if (ok)
        m_app.SetSleepTimer(minutes * 60.0);
    else
        ShowSleepLength(m_app.SleepTimer().LengthSeconds()); // the check goes back where it was
}

void CListeningMenu::ShowSleepLength(double seconds)
{
    QAction* match = seconds > 0.0 ? m_pSleepCustom : m_pSleepOff;
    for (QAction* action : m_pSleepChoices->actions())
        if (seconds > 0.0 && action->data().toInt() == seconds)
            match = action;
    match->setChecked(true);
}

void CListeningMenu::ShowPaused(bool paused)
{
    m_pPause->setChecked(paused);
    m_pPausedPane->setText(paused ? kPausedText : QString());
}
} // namespace corvane
