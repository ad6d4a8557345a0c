// The command line: an optional file to open, --help, --version, and --export for the help text.
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>

#include <cstring>

namespace corvane {
bool AsksOnlyForInformation(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        for (const char* info : {"-h", "--help", "-?", "--help-all", "-v", "--version", "--list-sounds"})
            if (std::strcmp(arg, info) == 0)
                return true;
    }
    return false;
}

void ConfigureCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Corvane - real-time ambience synthesizer.\n"
                       "Plays continuously shaped noise while you set it up on one panel.\n"
                       "The manual page corvane(1) describes the window, the options and the files."));
    parser.addHelpOption();
    parser.addVersionOption();
    // main() hands an export to its own parser before this one runs; listed so that --help shows it.
    parser.addOption(QCommandLineOption(
        QStringLiteral("export"),
        QStringLiteral("Render the sound to FILE without a window, then exit; "
                       "'corvane --export --help' lists the export's options."),
        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("list-sounds"),
                                        QStringLiteral("Print the names of the ready-made sounds, then exit.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("sleep"),
        QStringLiteral("Start the sleep timer: fade out and pause after DURATION (seconds, or e.g. 90s, 45m, 1h30m)."),
        QStringLiteral("DURATION")));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A Corvane sound file (.corvane) to open."),
                                 QStringLiteral("[file]"));
}

CommandLineRequest ParseCommandLine(QCommandLineParser& parser, const QStringList& arguments)
{
    CommandLineRequest request;
    parser.process(arguments); // prints help, version or option errors and exits on its own
    request.listSounds = parser.isSet(QStringLiteral("list-sounds"));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        request.error = QStringLiteral("only one file can be opened; %1 were named.").arg(files.size());
    else if (files.size() == 1)
        request.fileName = files.constFirst();
    return request;
}
} // namespace corvane
