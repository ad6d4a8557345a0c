// Pause with fades and the sleep timer's fade-out, as requests to the output's master gain.
#include "app/CPauseControl.h"

namespace corvane {
CPauseControl::CPauseControl(Fader fader, QObject* parent) : QObject(parent), m_fader(std::move(fader)) {}

void CPauseControl::Pause()
{
    if (m_bPaused)
        return;
    m_bPaused = true;
    m_bSleepFading = false;
    Fade(false, kFadeSeconds);
    emit pausedChanged(true);
}

void CPauseControl::Resume()
{
    if (!m_bPaused)
        return;
    m_bPaused = false;
    Fade(true, kFadeSeconds);
    emit pausedChanged(false);
}

void CPauseControl::Toggle()
{
    if (m_bPaused)
        Resume();
    else
        Pause();
}

void CPauseControl::BeginSleepFade(double seconds)
{
    if (m_bPaused)
        return;
    m_bSleepFading = true;
    Fade(false, seconds);
}

void CPauseControl::CancelSleepFade()
{
    if (!m_bSleepFading)
        return;
    m_bSleepFading = false;
    if (!m_bPaused)
        Fade(true, kFadeSeconds);
}

void CPauseControl::Reapply()
{
    if (m_fader)
        m_fader(m_bLastUnity, m_dLastSeconds);
}

void CPauseControl::Fade(bool unity, double seconds)
{
    m_bLastUnity = unity;
    m_dLastSeconds = seconds;
    if (m_fader)
        m_fader(unity, seconds);
}
} // namespace corvane
