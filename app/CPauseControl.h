// Pause with fades: owns whether the sound is paused and steers the output's master fade gain,
// for Pause and Resume (one second each way) and for the sleep timer's long fade-out.
#pragma once

#include <QObject>

#include <functional>

namespace corvane {
class CPauseControl : public QObject {
    Q_OBJECT
public:
    // Length of the fade when pausing and resuming, in seconds.
    static constexpr double kFadeSeconds = 1.0;

    // Heads the output's master gain for unity (true) or silence at the pace of a whole fade
    // lasting `seconds`; a fade under way turns round from where it is.
    using Fader = std::function<void(bool unity, double seconds)>;

    explicit CPauseControl(Fader fader, QObject* parent = nullptr);

    // Fades out over a second and holds silence; the panel's controls are left as they are.
    void Pause();
    // Fades back in over a second (also out of a sleep fade that had begun).
    void Resume();
    void Toggle();
    bool IsPaused() const { return m_bPaused; }

    // The sleep timer's fade-out over `seconds`; it ends in Pause when the timer runs out.
    void BeginSleepFade(double seconds);
    // The timer was cancelled or changed: a fade that had begun comes back up (unless paused).
    void CancelSleepFade();
    bool IsSleepFading() const { return m_bSleepFading; }

    // Repeats the last request, for an output device built anew since.
    void Reapply();

signals:
    void pausedChanged(bool paused);

private:
    void Fade(bool unity, double seconds);

    Fader m_fader;
    bool m_bPaused = false;
    bool m_bSleepFading = false;
    bool m_bLastUnity = true;
    double m_dLastSeconds = 0.0;
};
} // namespace corvane
