// The program as the desktop's player controls see it.
#include "app/CAppMediaHost.h"

#include "app/CCorvaneDoc.h"
#include "app/CPauseControl.h"

#include <QMetaObject>
#include <QWidget>

namespace corvane {
CAppMediaHost::CAppMediaHost(CPauseControl& pause, const CCorvaneDoc& doc, QWidget& window)
    : m_pause(pause), m_doc(doc), m_window(window)
{
}

bool CAppMediaHost::IsPaused() const { return m_pause.IsPaused(); }

void CAppMediaHost::SetPaused(bool paused)
{
    if (paused)
        m_pause.Pause();
    else
        m_pause.Resume();
}

QString CAppMediaHost::Title() const { return m_doc.GetTitle(); }

void CAppMediaHost::Raise()
{
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void CAppMediaHost::Quit()
{
    // A question before closing (unsaved changes) must not hold the caller's reply.
    QMetaObject::invokeMethod(&m_window, &QWidget::close, Qt::QueuedConnection);
}
} // namespace corvane
