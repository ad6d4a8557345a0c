// Progress bar on stderr for long exports: shown only on a terminal and only once the render
// has run for more than a second, so short and scripted exports stay quiet.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <cstdio>

class CExportProgress {
public:
    // `stream` is where the bar goes; `enabled` is false when it is not a terminal.
    CExportProgress(std::FILE* stream, bool enabled);
    // Stderr, enabled when stderr is a terminal.
    static CExportProgress ForStderr();

    void Start(std::int64_t totalFrames, int rate);
    // Redraws at most ten times a second.
    void Update(std::int64_t doneFrames);
    // Ends the bar's line (drawn full when `completed`) so that what follows starts on a line
    // of its own; nothing when the bar never showed.
    void Finish(bool completed);

    bool IsShown() const { return m_bShown; }

    // One bar line, e.g. "[#####-----]  50%  300.0 / 600.0 s" with `width` cells.
    static QString FormatLine(std::int64_t doneFrames, std::int64_t totalFrames, int rate, int width);

private:
    std::FILE* m_pStream;
    bool m_bEnabled;
    bool m_bShown = false;
    std::int64_t m_llTotal = 0;
    int m_nRate = 1;
    QElapsedTimer m_timer;
    qint64 m_llLastDraw = 0;
};
