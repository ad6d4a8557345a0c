// Turns SIGINT, SIGTERM and SIGHUP into a quit request, so the program ends through its loop
// and saves its settings instead of dying where it stands.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace corvane {
class CQuitSignals : public QObject {
    Q_OBJECT
public:
    // `onSignal` receives 128 + the signal number, the shell's usual exit code for it.
    explicit CQuitSignals(std::function<void(int exitCode)> onSignal);
    ~CQuitSignals() override; // restores the default handlers

private:
    void OnReadable();

    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
};
} // namespace corvane
