// Sound > "Output Device": "System Default" and the devices the sound system offers; the choice
// is remembered and applied at once. While no output plays, the status bar says it retries.
#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QStatusBar;
class QTimer;

namespace corvane {

class CSoundOutputMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu to `sound` and the retry notice to `bar`; applies the remembered device.
    CSoundOutputMenu(QMenu* sound, QStatusBar* bar, QObject* parent);

    QMenu* Menu() const { return m_pMenu; }
    QLabel* Notice() const { return m_pNotice; }

    // The submenu's entries for a device list: "" stands for "System Default"; a list of one
    // device (or none) gets a disabled line saying so instead of the single entry.
    struct Entry {
        QString text;
        QString device;
        bool enabled = true;
    };
    static QList<Entry> Entries(const QStringList& devices, const QString& system);

    // Rebuilds the entries from what the sound system offers now (before the menu shows).
    void Refresh();
    // Shows or hides the status bar notice from the outputs' state.
    void UpdateNotice();

private:
    void Choose(const QString& device);

    QMenu* m_pMenu;
    QActionGroup* m_pGroup;
    QLabel* m_pNotice;
    QTimer* m_pTimer;
};

} // namespace corvane
