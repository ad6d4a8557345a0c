// File > Export Audio...: the panel's sound rendered to a file while the window keeps playing.
#pragma once

#include "app/export/CExportOptions.h"

#include <QStringList>

class QTemporaryFile;
class QWidget;

namespace corvane {
// Writes `sound` into `soundFile` (an open temporary file) and returns the export's arguments:
// the dialog's `choices` (--export, --seconds, --rate), then --sound with that file. Empty,
// with *pError set, when the file cannot be written.
QStringList ExportAudioArguments(const CExportOptions& sound, const QStringList& choices, QTemporaryFile& soundFile,
                                 QString* pError);

// Asks for file, length and rate, then renders `sound` with `program --export ...` in a child
// process under a progress dialog with Cancel; a failure is shown in a message box.
void RunExportAudio(QWidget* parent, const CExportOptions& sound, const QString& program);
} // namespace corvane
