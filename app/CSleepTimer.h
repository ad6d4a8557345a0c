// The sleep timer: counts down, asks for the fade-out near the end and says when it is over.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace corvane {
class CSleepTimer : public QObject {
    Q_OBJECT
public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<std::int64_t()>;

    // Longest timer, in seconds (24 hours).
    static constexpr double kMaxSeconds = 86400.0;

    // `clock` empty: the steady clock.
    explicit CSleepTimer(Clock clock = {}, QObject* parent = nullptr);
    // Replaces the clock (tests); the timer must not be running.
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Length of the fade-out that ends a timer of `seconds`: the last 60 s, or the last quarter
    // of a timer under 4 minutes.
    static double FadeSecondsFor(double seconds);
    // The status pane's text for `ms` left: "Sleep 14:59", "Sleep 1:29:59"; whole seconds,
    // rounded up, so a fresh 15-minute timer shows "Sleep 15:00".
    static QString FormatRemaining(std::int64_t ms);

    // Starts the timer anew with `seconds` (0 < seconds <= kMaxSeconds), whether it ran or not.
    void Start(double seconds);
    // Off: the timer stops without expiring.
    void Stop();
    bool IsRunning() const { return m_bRunning; }
    double LengthSeconds() const { return m_dLength; }
    std::int64_t RemainingMs() const;

    // Looks at the clock and signals whatever has come due; the timer calls it by itself.
    void Check();

signals:
    // The status text changed (once a second while running; empty when off).
    void remainingChanged(const QString& text);
    // Started with a length, or stopped (0).
    void lengthChanged(double seconds);
    // The fade-out begins; it lasts `seconds`, up to the end.
    void fadeBegins(double seconds);
    // The time is up.
    void expired();

private:
    void Arm(std::int64_t now);

    Clock m_clock;
    QTimer m_timer;
    bool m_bRunning = false;
    bool m_bFading = false;
    double m_dLength = 0.0;
    std::int64_t m_llEnd = 0;  // clock ms at which the timer ends
    std::int64_t m_llFade = 0; // clock ms at which the fade begins
    QString m_shown;
};
} // namespace corvane
