// Program entry: command line, start-up, the polling main loop, saving settings at the end.
#include "app/AppIdentity.h"
#include "app/CCorvaneApp.h"
#include "app/CSoundLibrary.h"
#include "app/CommandLine.h"
#include "app/IPanelView.h"
#include "app/SleepDuration.h"
#include "app/export/ExportCommand.h"
#include "panel/CCorvaneFormView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {
std::unique_ptr<corvane::IPanelView> MakePanel()
{
    // The main frame takes the widget over; the adapter only forwards calls to it.
    return std::make_unique<corvane::CPanelAdapter<CCorvaneFormView>>(new CCorvaneFormView);
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "corvane: %s\n", qPrintable(message));
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Rendering to a file needs neither a window nor a sound card.
    if (IsExportRequest(args)) {
        // No application object exists yet to tell the program's folder: the kernel does.
        const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
        return RunExport(args, [&program](const QString& name) {
            QStringList folders = CSoundLibrary::DefaultFolders();
            folders.prepend(QFileInfo(program).absolutePath() + QStringLiteral("/../share/corvane/sounds"));
            return CSoundLibrary(folders).PathOf(name);
        });
    }
    // Help and version must work in a terminal without a display.
    if (corvane::AsksOnlyForInformation(argc, argv)) {
        QCoreApplication core(argc, argv);
        corvane::SetApplicationIdentity();
        QCommandLineParser parser;
        corvane::ConfigureCommandLine(parser);
        if (corvane::ParseCommandLine(parser, QCoreApplication::arguments()).listSounds) {
            const CSoundLibrary library;
            if (library.Names().isEmpty())
                return Fail(QStringLiteral("no ready-made sounds found (looked in %1)")
                                .arg(CSoundLibrary::DefaultFolders().join(QStringLiteral(", "))));
            for (const QString& name : library.Names())
                std::printf("%s\n", qPrintable(name));
        }
        return 0;
    }

    // A bad sleep length is refused before any window appears.
    const corvane::SleepRequest sleep = corvane::SleepFromArguments(args);
    if (!sleep.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(sleep.error));
        return 2;
    }

    // The elapsed time repaints about 67 times a second. With shared-memory images Qt waits for
    // an X round trip before painting where it last flushed, every time; sending the few pixels
    // through the socket costs less. (The user's own setting wins.)
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication application(argc, argv);
    corvane::SetApplicationIdentity();
    QCommandLineParser parser;
    corvane::ConfigureCommandLine(parser);
    const corvane::CommandLineRequest request =
        corvane::ParseCommandLine(parser, QApplication::arguments());
    if (!request.error.isEmpty())
        return Fail(request.error);

    corvane::CCorvaneApp app(&MakePanel);
    QString error;
    if (!app.InitInstance(request.fileName, &error))
        return Fail(error);
    if (sleep.seconds)
        app.SetSleepTimer(*sleep.seconds);
    const int exitCode = app.Run();
    app.ExitInstance();
    return exitCode;
}
