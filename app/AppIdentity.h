// The program's names, version and icons as the desktop sees them.
#pragma once

#include <QIcon>

namespace corvane {
// Organisation "Quellstone", application "Corvane", the version, the desktop entry's name.
void SetApplicationIdentity();
// The application icon (main window, About box) and the document-type icon.
QIcon ApplicationIcon();
QIcon DocumentIcon();
} // namespace corvane
