// The sleep timer's countdown, fade point and end.
#include "app/CSleepTimer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace corvane {
namespace {
constexpr double kFadeSeconds = 60.0;
constexpr double kShortTimerSeconds = 240.0;

std::int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

CSleepTimer::CSleepTimer(Clock clock, QObject* parent)
    : QObject(parent), m_clock(clock ? std::move(clock) : Clock(&SteadyMs))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CSleepTimer::Check);
}

double CSleepTimer::FadeSecondsFor(double seconds)
{
    return seconds < kShortTimerSeconds ? seconds / 4.0 : kFadeSeconds;
}

QString CSleepTimer::FormatRemaining(std::int64_t ms)
{
    const std::int64_t total = (std::max<std::int64_t>(ms, 0) + 999) / 1000;
    const auto h = static_cast<int>(total / 3600);
    const auto m = static_cast<int>(total / 60 % 60);
    const auto s = static_cast<int>(total % 60);
    if (h > 0)
        return QStringLiteral("Sleep %1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("Sleep %1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

void CSleepTimer::Start(double seconds)
{
    if (!(seconds > 0.0) || seconds > kMaxSeconds)
        return;
    const std::int64_t now = m_clock();
    m_bRunning = true;
    m_bFading = false;
    m_dLength = seconds;
    m_llEnd = now + std::llround(seconds * 1000.0);
    m_llFade = m_llEnd - std::llround(FadeSecondsFor(seconds) * 1000.0);
    m_shown.clear();
    emit lengthChanged(seconds);
    Check();
}

void CSleepTimer::Stop()
{
    m_timer.stop();
    if (!m_bRunning)
        return;
    m_bRunning = false;
    m_bFading = false;
    m_dLength = 0.0;
    m_shown.clear();
    emit lengthChanged(0.0);
    emit remainingChanged(QString());
}

std::int64_t CSleepTimer::RemainingMs() const
{
    return m_bRunning ? std::max<std::int64_t>(m_llEnd - m_clock(), 0) : 0;
}

void CSleepTimer::Check()
{
    if (!m_bRunning)
        return;
    const std::int64_t now = m_clock();
    if (now >= m_llEnd) {
        m_bRunning = false;
        m_dLength = 0.0;
        m_shown.clear();
        emit remainingChanged(QString());
        emit lengthChanged(0.0);
        emit expired();
        return;
    }
    if (!m_bFading && now >= m_llFade) {
        m_bFading = true;
        // Whatever is left, so that the fade ends with the timer even if this came late.
        emit fadeBegins(static_cast<double>(m_llEnd - now) / 1000.0);
    }
    const QString text = FormatRemaining(m_llEnd - now);
    if (text != m_shown) {
        m_shown = text;
        emit remainingChanged(text);
    }
    Arm(now);
}

void CSleepTimer::Arm(std::int64_t now)
{
    // Next moment something changes: the shown second, the fade's start or the end.
    const std::int64_t left = m_llEnd - now;
    std::int64_t next = now + (left - 1) % 1000 + 1;
    if (!m_bFading)
        next = std::min(next, m_llFade);
    next = std::min(next, m_llEnd);
    m_timer.start(static_cast<int>(std::max<std::int64_t>(next - now, 1)));
}
} // namespace corvane
