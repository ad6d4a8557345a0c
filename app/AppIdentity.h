// The program's names, version and icons as the desktop sees them.
#pragma once

#include <QIcon>

namespace corvane {
// Organisation "Quellstone", application "Corvane", the version, the desktop entry's name.
void SetApplicationIdentity();
// The application icon (main window, About box, desktop entry).
QIcon ApplicationIcon();
} // namespace corvane
