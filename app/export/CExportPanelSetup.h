// Puts the export options onto a live panel the way a user would: lists are selected, sliders
// and knobs moved and reported through the panel's own handlers, and the panel's setters give
// the exact value where a slider's steps cannot reach it.
#pragma once

#include "app/export/CExportOptions.h"

#include <QStringList>

class CCorvaneFormView;

class CExportPanelSetup {
public:
    explicit CExportPanelSetup(CCorvaneFormView& panel) : m_panel(panel) {}

    // Applies every option that was given; the others keep the panel's start-up state. Call it
    // after OnInitialUpdate. Returns notes for the user about values the panel could only
    // approximate (one line each).
    QStringList Apply(const CExportOptions& options);

    // Hold slider position (0..100) a user moves to for `hold` samples.
    static int HoldSliderPosition(int hold);
    // Nearest LFO frequency slider position (1..100, f = p x p x 0.005 Hz) for `hz`.
    static int LfoSliderPosition(double hz);

private:
    void SelectList(int id, int index, void (CCorvaneFormView::*handler)());
    void MoveSlider(int id, int position);

    CCorvaneFormView& m_panel;
};
