// The View menu's remembered choices: the panel's zoom and whether the spectrum pane shows.
#pragma once

#include <QString>

class QSettings;

namespace corvane {
struct ViewOptions {
    int zoomPercent = 100;
    bool spectrum = false;
};

// The zoom steps the View menu offers, and their commands; 0 for anything else.
int ZoomPercentOfCommand(int id);
int ZoomCommandOfPercent(int percent);

// Reads [View] from the settings. A value that is not one the menu offers is ignored (the
// default stays) and named in `problem`, so that a hand-edited file is reported, not obeyed.
ViewOptions LoadViewOptions(QSettings& settings, QString* problem = nullptr);
void SaveViewOptions(QSettings& settings, const ViewOptions& options);
} // namespace corvane
