// The program as the desktop's player controls see it: the pause with fades, the document's
// name and the main window.
#pragma once

#include "app/IMediaPlayerHost.h"

class QWidget;

namespace corvane {
class CCorvaneDoc;
class CPauseControl;

class CAppMediaHost final : public IMediaPlayerHost {
public:
    CAppMediaHost(CPauseControl& pause, const CCorvaneDoc& doc, QWidget& window);

    bool IsPaused() const override;
    void SetPaused(bool paused) override;
    QString Title() const override;
    void Raise() override;
    // Closes the window later, as File > Exit does, so that the bus gets its answer first.
    void Quit() override;

private:
    CPauseControl& m_pause;
    const CCorvaneDoc& m_doc;
    QWidget& m_window;
};
} // namespace corvane
