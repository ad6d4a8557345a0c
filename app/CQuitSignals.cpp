// Turns SIGINT, SIGTERM and SIGHUP into a quit request, so the program ends through its loop
// and saves its settings instead of dying where it stands.
#include "app/CQuitSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace corvane {
namespace {
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only async-signal-safe work here: the signal number goes through the pipe.
void OnSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t ignored = write(g_pipe[1], &byte, 1);
}
} // namespace

CQuitSignals::CQuitSignals(std::function<void(int exitCode)> onSignal) : m_onSignal(std::move(onSignal))
{
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_pNotifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_pNotifier.get(), &QSocketNotifier::activated, this, &CQuitSignals::OnReadable);
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        sigaction(number, &action, nullptr);
}

CQuitSignals::~CQuitSignals()
{
    for (int number : kSignals)
        std::signal(number, SIG_DFL);
}

void CQuitSignals::OnReadable()
{
    unsigned char byte = 0;
    while (read(g_pipe[0], &byte, 1) == 1)
        m_onSignal(128 + byte);
}
} // namespace corvane
