// Entry point of the command-line export: main() calls it before any window exists.
#pragma once

#include "app/export/CExportOptions.h"

#include <QStringList>

// True when the arguments ask for an export (`--export` or `--export=FILE` among them).
bool IsExportRequest(const QStringList& args);

// Runs the export the arguments describe (args[0] is the program name) and returns the process
// exit code: 0 written, 1 the render or the file failed, 2 a malformed or out-of-range option.
// Creates its own QApplication on the offscreen platform when none exists yet.
// `findSound` gives the file of a ready-made sound that --sound names.
int RunExport(const QStringList& args, const CExportOptions::SoundFinder& findSound = {});
