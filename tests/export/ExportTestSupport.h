// Helpers of the export tests: run an export in-process, read a file back, drive a reference panel.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

class CCorvaneFormView;

namespace exporttest {

struct RunResult {
    int exitCode = -1;
    std::string stderrText;
};
// RunExport with "corvane" prepended, capturing what it prints on stderr.
RunResult RunCommand(const QStringList& args);

struct Sound {
    int rate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    std::vector<std::int16_t> samples; // interleaved
    std::vector<std::int16_t> Channel(int c) const;
};
// Reads a whole file; frames is -1 when it cannot be opened.
Sound Read(const QString& path);

// Ticks a panel as the live program's clock would and pulls 882 mixed frames per block at
// 44100 Hz, independently of the export's own loop. Collects the 16-bit blocks the panel
// handed over and the mixed output.
struct Reference {
    std::vector<std::int16_t> blocks;
    std::vector<std::int16_t> mixed; // interleaved, `channels` per frame
    bool allAccepted = true;
};
Reference DriveReference(CCorvaneFormView& panel, void* device, int channels, int blockCount);

} // namespace exporttest
