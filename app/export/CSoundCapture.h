// Reads a live panel's sound back into the export options' terms, the inverse of
// CExportPanelSetup: what Save writes into a sound file.
#pragma once

#include "app/export/CExportOptions.h"

#include <QHash>
#include <QString>

class CCorvaneFormView;

class CSoundCapture {
public:
    // Remembers the panel's start-up state: construct it right after OnInitialUpdate.
    explicit CSoundCapture(const CCorvaneFormView& panel);

    // The panel's sound now. A setting whose value and slider are still where they started is
    // left out, so that opening the sound leaves that control exactly as the start-up does
    // (the start-up state has sliders that no value maps back to, e.g. LFO 1 Hz at step 10).
    CExportOptions Capture() const;

private:
    struct Reading {
        CExportOptions sound;        // every setting
        QHash<QString, int> sliders; // slider position by key
    };
    static Reading Read(const CCorvaneFormView& panel);

    const CCorvaneFormView& m_panel;
    Reading m_start;
};
