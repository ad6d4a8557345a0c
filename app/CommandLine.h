// The command line: an optional file to open, --help, --version, and --export for the help text.
#pragma once

#include <QString>

class QCommandLineParser;
#include <QStringList>

namespace corvane {
// True when the arguments only ask for help or the version, which need no display.
bool AsksOnlyForInformation(int argc, char** argv);

void ConfigureCommandLine(QCommandLineParser& parser);

struct CommandLineRequest {
    QString fileName; // empty: start with a new document
    QString error;    // set when the arguments make no sense
    bool listSounds = false; // --list-sounds: print the ready-made sounds' names and exit
};
// Parses `arguments` (program name first); --help and --version print and exit the process.
CommandLineRequest ParseCommandLine(QCommandLineParser& parser, const QStringList& arguments);
} // namespace corvane
