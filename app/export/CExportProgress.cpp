// Draws the export progress bar on a terminal.
#include "app/export/CExportProgress.h"

#include <unistd.h>

#include <algorithm>

namespace {
constexpr int kBarCells = 40;
constexpr qint64 kQuietMs = 1000;  // renders shorter than this show nothing
constexpr qint64 kRedrawMs = 100;
} // namespace

CExportProgress::CExportProgress(std::FILE* stream, bool enabled) : m_pStream(stream), m_bEnabled(enabled) {}

CExportProgress CExportProgress::ForStderr()
{
    // CORVANE_PROGRESS=1 asks for the bar in a pipe too: the window's export reads it from there.
    return CExportProgress(stderr, isatty(STDERR_FILENO) == 1 || qEnvironmentVariableIntValue("CORVANE_PROGRESS") == 1);
}

void CExportProgress::Start(std::int64_t totalFrames, int rate)
{
    m_llTotal = totalFrames;
    m_nRate = std::max(rate, 1);
    m_bShown = false;
    m_llLastDraw = 0;
    m_timer.start();
}

void CExportProgress::Update(std::int64_t doneFrames)
{
    if (!m_bEnabled) {
        return;
    }
    const qint64 elapsed = m_timer.elapsed();
    if (elapsed < kQuietMs || (m_bShown && elapsed - m_llLastDraw < kRedrawMs)) {
        return;
    }
    m_llLastDraw = elapsed;
    m_bShown = true;
    const QString line = FormatLine(doneFrames, m_llTotal, m_nRate, kBarCells);
    std::fprintf(m_pStream, "\r%s", line.toLocal8Bit().constData());
    std::fflush(m_pStream);
}

void CExportProgress::Finish(bool completed)
{
    if (!m_bShown) {
        return;
    }
    if (completed) {
        const QString line = FormatLine(m_llTotal, m_llTotal, m_nRate, kBarCells);
        std::fprintf(m_pStream, "\r%s", line.toLocal8Bit().constData());
    }
    std::fputc('\n', m_pStream);
    std::fflush(m_pStream);
}

QString CExportProgress::FormatLine(std::int64_t doneFrames, std::int64_t totalFrames, int rate, int width)
{
    const std::int64_t total = std::max<std::int64_t>(totalFrames, 1);
    const std::int64_t done = std::clamp<std::int64_t>(doneFrames, 0, total);
    const int cells = static_cast<int>(done * width / total);
    const int percent = static_cast<int>(done * 100 / total);
    return QStringLiteral("[%1%2] %3%  %4 / %5 s")
        .arg(QString(cells, QLatin1Char('#')), QString(width - cells, QLatin1Char('-')))
        .arg(percent, 3)
        .arg(static_cast<double>(done) / rate, 0, 'f', 1)
        .arg(static_cast<double>(totalFrames) / rate, 0, 'f', 1);
}
