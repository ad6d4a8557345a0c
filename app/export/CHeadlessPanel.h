// A synthesizer panel without a window or sound card: its sound device runs on the mixer's
// manual back-end at a chosen output format, so a caller pulls the mixed output itself.
#pragma once

#include "platform/dsound.h"

#include <QString>

#include <memory>

class CCorvaneFormView;

class CHeadlessPanel {
public:
    CHeadlessPanel();
    ~CHeadlessPanel(); // the panel (and its device's buffers) go first, then the mixer
    CHeadlessPanel(const CHeadlessPanel&) = delete;
    CHeadlessPanel& operator=(const CHeadlessPanel&) = delete;

    // Builds the panel and runs its set-up with looping playback on a manual mixer that mixes
    // `rate` Hz (8000..192000) with `channels` (1 or 2). Needs a QApplication. On failure
    // returns false with a one-line reason.
    bool Create(int rate, int channels, QString* pError);

    CCorvaneFormView& Panel() const { return *m_pPanel; }
    IDirectSound* Device() const { return m_pDevice; }

private:
    std::unique_ptr<CCorvaneFormView> m_pPanel;
    IDirectSound* m_pDevice = nullptr; // our own reference to the panel's mixer device
};
