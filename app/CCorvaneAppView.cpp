// The View menu's spectrum pane and zoom steps: applied to the panel and the frame, remembered.
#include "app/CCorvaneApp.h"

#include "app/CCorvaneMainFrame.h"
#include "app/IPanelView.h"

#include <QSettings>

namespace corvane {

void CCorvaneApp::ApplyViewOptions()
{
    QWidget* pane = m_pPanelView->SpectrumPane();
    if (pane)
        m_pFrame->SetSidePane(pane);
    if (!m_pPanelView->SetZoom(m_viewOptions.zoomPercent))
        m_viewOptions.zoomPercent = 100;
    m_pFrame->CheckZoomCommand(ZoomCommandOfPercent(m_viewOptions.zoomPercent));
    m_pFrame->ShowSidePane(m_viewOptions.spectrum && pane);
}

void CCorvaneApp::OnViewSpectrum(bool show)
{
    if (!m_pPanelView->SpectrumPane())
        show = false;
    m_viewOptions.spectrum = show;
    m_pFrame->ShowSidePane(show);
    m_pFrame->FitToView();
    QSettings settings(kOrganisation, kApplication);
    SaveViewOptions(settings, m_viewOptions);
}

void CCorvaneApp::OnViewZoom(int percent)
{
    if (m_pPanelView->SetZoom(percent))
        m_viewOptions.zoomPercent = percent;
    m_pFrame->CheckZoomCommand(ZoomCommandOfPercent(m_viewOptions.zoomPercent));
    m_pFrame->FitToView();
    QSettings settings(kOrganisation, kApplication);
    SaveViewOptions(settings, m_viewOptions);
}

} // namespace corvane
