// Follows the Caps, Num and Scroll Lock states for the status bar's indicator panes.
#pragma once

#include <QObject>

#include <functional>
#include <optional>

namespace corvane {
struct KeyLocks {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
    bool operator==(const KeyLocks&) const = default;
};

class CKeyLockWatcher : public QObject {
    Q_OBJECT
public:
    using Query = std::function<std::optional<KeyLocks>()>;
    using Report = std::function<void(const KeyLocks&)>;

    // Asks `query` again after every key release and when the application becomes active, and
    // calls `report` when the states changed. The default query asks the X server; where
    // there is none the states stay unknown and nothing is reported.
    explicit CKeyLockWatcher(Report report, Query query = {});
    ~CKeyLockWatcher() override;

    void Refresh();

    // The lock states of the X server's core keyboard, if the program runs on X11.
    static std::optional<KeyLocks> QueryX11();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Report m_report;
    Query m_query;
    std::optional<KeyLocks> m_last;
};
} // namespace corvane
