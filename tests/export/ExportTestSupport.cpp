// Helpers of the export tests.
#include "ExportTestSupport.h"

#include "app/export/ExportCommand.h"
#include "panel/CCorvaneFormView.h"
#include "platform/dsound.h"

#include <gtest/gtest.h>
#include <sndfile.h>

namespace exporttest {

RunResult RunCommand(const QStringList& args)
{
    RunResult r;
    testing::internal::CaptureStderr();
    r.exitCode = RunExport(QStringList{QStringLiteral("corvane")} + args);
    r.stderrText = testing::internal::GetCapturedStderr();
    return r;
}

std::vector<std::int16_t> Sound::Channel(int c) const
{
    std::vector<std::int16_t> out;
    out.reserve(static_cast<std::size_t>(frames));
    for (std::int64_t f = 0; f < frames; ++f) {
        out.push_back(samples[static_cast<std::size_t>(f * channels + c)]);
    }
    return out;
}

Sound Read(const QString& path)
{
    Sound s;
    s.frames = -1;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (f == nullptr) {
        return s;
    }
    s.rate = info.samplerate;
    s.channels = info.channels;
    s.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    s.frames = sf_readf_short(f, s.samples.data(), info.frames);
    sf_close(f);
    return s;
}

Reference DriveReference(CCorvaneFormView& panel, void* device, int channels, int blockCount)
{
    Reference ref;
    std::vector<std::int16_t> frames(static_cast<std::size_t>(882 * channels));
    std::int64_t time = 0;
    for (int b = 0; b < blockCount; ++b) {
        time += 200000; // 20 ms
        panel.OnEngineTick(&time);
        ref.allAccepted = ref.allAccepted && panel.IsStreamAccepted();
        ref.blocks.insert(ref.blocks.end(), panel.GetPcmBlock(), panel.GetPcmBlock() + 882);
        corvane::platform::PullMixedFrames(static_cast<IDirectSound*>(device), frames.data(), 882);
        ref.mixed.insert(ref.mixed.end(), frames.begin(), frames.end());
    }
    return ref;
}

} // namespace exporttest
