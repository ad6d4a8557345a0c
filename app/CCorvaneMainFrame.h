// The main window: menu bar, toolbar band with the two Sound buttons, status bar, the panel.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <functional>

class QDockWidget;
class QLabel;
class QToolBar;
class QToolButton;

namespace corvane {
class CCorvaneMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CCorvaneMainFrame(QWidget* parent = nullptr);
    ~CCorvaneMainFrame() override;

    // "Untitled - Corvane": the document title first, as desktop programs do.
    static QString ComposeTitle(const QString& documentTitle, const QString& appTitle);

    // Puts the panel in the middle of the frame; the frame takes ownership of the widget.
    void SetView(QWidget* view);
    // Sizes the window so that the whole panel (and the side pane, when shown) shows without
    // scrolling, within the screen.
    void FitToView();
    // A pane to the right of the panel, shown and hidden by View > Spectrum; the frame takes
    // ownership of the widget.
    void SetSidePane(QWidget* pane);
    void ShowSidePane(bool show);
    bool IsSidePaneShown() const;
    // Puts the check mark on the View > Zoom entry of this command.
    void CheckZoomCommand(int id);
    void SetDocumentTitle(const QString& documentTitle);
    // Replaces the greyed "Recent File" placeholder by numbered entries, or restores it.
    void SetRecentFiles(const QStringList& paths);
    // Asked before the window closes; false keeps it open (the user cancelled saving).
    void SetCloseQuery(std::function<bool()> query) { m_closeQuery = std::move(query); }
    // Fills File > Sounds with the ready-made sounds' names (greyed "(none)" when empty).
    void SetReadySounds(const QStringList& names);
    QMenu* SoundsMenu() const { return m_pSoundsMenu; }
    // Shows each lock key's indicator text while that lock is on.
    void SetKeyIndicators(bool capsLock, bool numLock, bool scrollLock);

    // Adds a command to `menu` and to the frame (so its keys work wherever the focus is), with
    // its status prompt and tooltip; choosing it emits Command(id).
    QAction* AddCommand(QMenu* menu, const QString& text, int id,
                        const QList<QKeySequence>& keys = {});
    QAction* Action(int id) const { return m_actions.value(id); }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QMenu* SoundMenu() const { return m_pSoundMenu; }
    QLabel* MessagePane() const { return m_pMessagePane; }
    QLabel* IndicatorPane(int id) const { return m_indicators.value(id); }
    // The entries currently shown, newest first.
    QList<QAction*> RecentFileActions() const;

signals:
    // Every menu, toolbar and accelerator command that the frame does not handle itself.
    void Command(int id);
    // A ready-made sound was picked from File > Sounds, by its name.
    void ReadySoundChosen(const QString& name);
    // Index 0..7 into the recent-file list.
    void RecentFileChosen(int index);
    // The window was closed: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void WatchBarVisibility();

    std::function<bool()> m_closeQuery;
    QHash<int, QAction*> m_actions;
    QHash<int, QLabel*> m_indicators;
    QList<QAction*> m_recentActions;
    QAction* m_pRecentPlaceholder = nullptr;
    QAction* m_pRecentSeparator = nullptr;
    QMenu* m_pFileMenu = nullptr;
    QMenu* m_pSoundMenu = nullptr;
    QMenu* m_pSoundsMenu = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QDockWidget* m_pSideDock = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QList<QToolButton*> m_silentButtons; // buttons whose command has no tooltip part
};
} // namespace corvane
