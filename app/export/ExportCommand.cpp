// Runs a command-line export: options, a headless panel, the render loop, then the file.
#include "app/export/ExportCommand.h"

#include "app/export/CAudioFileWriter.h"
#include "app/export/CExportFades.h"
#include "app/export/CExportOptions.h"
#include "app/export/CExportPanelSetup.h"
#include "app/export/CExportProgress.h"
#include "app/export/CExportRenderer.h"
#include "app/export/CExportResampler.h"
#include "app/export/CHeadlessPanel.h"
#include "app/export/CWriterThread.h"

#include <QApplication>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void PrintLine(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// The panel is a widget: without an application object yet, make one that needs no display.
std::unique_ptr<QApplication> EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "corvane";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

// A command-line render speaks only for itself: the toolkit's own chatter (e.g. about runtime
// folders on a headless machine) is kept off stderr unless CORVANE_DEBUG=1 asks for it.
void QuietToolkitMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg || qEnvironmentVariableIntValue("CORVANE_DEBUG") == 1) {
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    }
}

// Restores the previous message handler when the export ends.
class CMessageHandlerScope {
public:
    CMessageHandlerScope() : m_previous(qInstallMessageHandler(QuietToolkitMessages)) {}
    ~CMessageHandlerScope() { qInstallMessageHandler(m_previous); }
    CMessageHandlerScope(const CMessageHandlerScope&) = delete;
    CMessageHandlerScope& operator=(const CMessageHandlerScope&) = delete;

private:
    QtMessageHandler m_previous;
};

constexpr int kMixRate = 44100;

volatile std::sig_atomic_t g_nInterrupt = 0;

extern "C" void OnInterrupt(int signal)
{
    g_nInterrupt = signal;
}

// While an export writes, Ctrl-C (or a termination request) stops it cleanly instead of
// leaving a temporary file behind; the previous handlers come back afterwards.
class CInterruptScope {
public:
    CInterruptScope()
    {
        g_nInterrupt = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &action, &m_previous[i]);
        }
    }
    ~CInterruptScope()
    {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &m_previous[i], nullptr);
        }
    }
    CInterruptScope(const CInterruptScope&) = delete;
    CInterruptScope& operator=(const CInterruptScope&) = delete;

private:
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 3> m_previous{};
};

} // namespace

bool IsExportRequest(const QStringList& args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--export") || args[i].startsWith(QLatin1String("--export="))) {
            return true;
        }
    }
    return false;
}

int RunExport(const QStringList& args, const CExportOptions::SoundFinder& findSound)
{
    CExportOptions options;
    QString error;
    if (!options.Parse(args, &error, findSound)) {
        PrintLine(error);
        return 2;
    }
    if (options.helpRequested) {
        std::fputs(CExportOptions::UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    for (const QString& warning : options.soundWarnings) {
        PrintLine(QStringLiteral("corvane: ") + warning);
    }
    const CMessageHandlerScope quiet;
    const std::unique_ptr<QApplication> app = EnsureApplication();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        PrintLine(QStringLiteral("corvane: the export needs a widget application"));
        return 1;
    }

    // The panel's stream plays at 44100 Hz and passes the mix bit-exact at that rate. Another
    // file rate is mixed there too and converted on a thread of its own, so that the conversion
    // runs beside the render rather than after it.
    const bool convert = options.rate != kMixRate;
    const std::int64_t frames = options.FrameCount();
    const std::int64_t mixFrames = convert ? CExportResampler::InputFramesFor(frames, kMixRate, options.rate) : frames;
    CHeadlessPanel headless;
    if (!headless.Create(convert ? kMixRate : options.rate, options.channels, &error)) {
        PrintLine(error);
        return 1;
    }
    CExportPanelSetup setup(headless.Panel());
    for (const QString& note : setup.Apply(options)) {
        PrintLine(note);
    }

    // The file is opened before the render so that an unwritable target fails at once.
    const CInterruptScope interrupts;
    CAudioFileWriter writer;
    if (!writer.Open(options.file, options.format, options.rate, options.channels, &error)) {
        PrintLine(error);
        return 1;
    }
    CExportProgress progress = CExportProgress::ForStderr();
    progress.Start(frames, options.rate);
    CExportRenderer renderer(headless.Panel(), headless.Device(), options.channels);
    CExportFades fades(frames, options.FadeInFrames(), options.FadeOutFrames(), options.channels);
    // The file is written on a second thread while the panel renders the next chunk.
    CWriterThread fileThread(
        [&writer, &fades](const std::int16_t* samples, std::int64_t n, QString* pError) {
            return writer.Write(fades.IsActive() ? fades.Apply(samples, n) : samples, n, pError);
        },
        CExportRenderer::kChunkFrames, options.channels);
    CExportResampler resampler(frames, CExportRenderer::kChunkFrames,
                               [&fileThread](const std::int16_t* samples, std::int64_t n, QString* pError) {
                                   return fileThread.Push(samples, n, pError);
                               });
    if (convert && !resampler.Open(kMixRate, options.rate, options.channels, &error)) {
        PrintLine(error);
        return 1;
    }
    std::unique_ptr<CWriterThread> convertThread;
    if (convert) {
        convertThread = std::make_unique<CWriterThread>(
            [&resampler](const std::int16_t* samples, std::int64_t n, QString* pError) {
                return resampler.Process(samples, n, pError);
            },
            CExportRenderer::kChunkFrames, options.channels);
    }
    CWriterThread& mixThread = convert ? *convertThread : fileThread;
    bool rendered = renderer.Render(
        mixFrames,
        [&mixThread](const std::int16_t* samples, std::int64_t n, QString* pError) {
            if (g_nInterrupt != 0) {
                *pError = QStringLiteral("corvane: interrupted; no file was written");
                return false;
            }
            return mixThread.Push(samples, n, pError);
        },
        [&progress, convert, &options, frames](std::int64_t done) {
            progress.Update(convert ? std::min(frames, done * options.rate / kMixRate) : done);
        },
        &error);
    if (convert) {
        QString convertError;
        if (!convertThread->Finish(&convertError) && rendered) {
            rendered = false;
            error = convertError;
        }
        if (rendered && !resampler.Finish(&error))
            rendered = false;
    }
    QString writeError;
    if (!fileThread.Finish(&writeError) && rendered) {
        rendered = false;
        error = writeError;
    }
    if (!rendered || !writer.Commit(&error)) {
        writer.Discard();
        progress.Finish(false);
        PrintLine(error);
        return g_nInterrupt != 0 ? 128 + g_nInterrupt : 1;
    }
    progress.Finish(true);
    return 0;
}
