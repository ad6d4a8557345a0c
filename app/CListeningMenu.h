// The Sound menu's long-listening commands, their toolbar button and status panes: Pause, the
// sleep timer, quitting when it ends and Power Saving.
#pragma once

#include <QObject>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

namespace corvane {
class CCorvaneApp;
class CCorvaneMainFrame;

class CListeningMenu : public QObject {
    Q_OBJECT
public:
    // Adds the commands to the frame's Sound menu and applies the remembered settings to `app`.
    CListeningMenu(CCorvaneMainFrame& frame, CCorvaneApp& app);

    QAction* PauseAction() const { return m_pPause; }
    QAction* PowerSavingAction() const { return m_pPowerSaving; }
    QMenu* SleepMenu() const { return m_pSleepMenu; }
    QLabel* SleepPane() const { return m_pSleepPane; }

    // Preset lengths of the Sleep Timer menu in seconds, after "Off".
    static const QList<int>& PresetSeconds();
    QLabel* PausedPane() const { return m_pPausedPane; }

private:
    void ShowPaused(bool paused);
    void AddSleepCommands(QMenu* sound);
    void AskCustomLength();
    void ShowSleepLength(double seconds);

    CCorvaneMainFrame& m_frame;
    CCorvaneApp& m_app;
    QAction* m_pPause = nullptr;
    QAction* m_pPowerSaving = nullptr;
    QLabel* m_pPausedPane = nullptr;
    QMenu* m_pSleepMenu = nullptr;
    QActionGroup* m_pSleepChoices = nullptr;
    QAction* m_pSleepOff = nullptr;
    QAction* m_pSleepCustom = nullptr;
    QAction* m_pSleepQuit = nullptr;
    QLabel* m_pSleepPane = nullptr;
};
} // namespace corvane
