// The command-line export end to end: exit codes, files left behind, and what the file holds.
#include "app/export/CExportProgress.h"
#include "app/export/ExportCommand.h"

#include "PanelPlayback.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>

#include <unistd.h>

namespace {

struct RunResult {
    int exitCode = -1;
    std::string stderrText;
};

RunResult RunCommand(const QStringList& args)
{
    testing::internal::CaptureStderr();
    const int code = RunExport(QStringList{QStringLiteral("corvane")} + args);
    return {code, testing::internal::GetCapturedStderr()};
}

struct Sound {
    int rate = 0, channels = 0, format = 0;
    std::int64_t frames = -1; // -1: the file cannot be opened
    std::vector<std::int16_t> samples; // interleaved
    std::vector<std::int16_t> Channel(int c) const
    {
        std::vector<std::int16_t> out;
        for (std::size_t i = c; i < samples.size(); i += channels)
            out.push_back(samples[i]);
        return out;
    }
};

Sound Read(const QString& path)
{
    Sound s;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (f == nullptr)
        return s;
    s.rate = info.samplerate;
    s.channels = info.channels;
    s.format = info.format;
    s.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    s.frames = sf_readf_short(f, s.samples.data(), info.frames);
    sf_close(f);
    return s;
}

double Rms(const std::vector<std::int16_t>& v, std::size_t from = 0, std::size_t count = SIZE_MAX)
{
    const std::size_t end = std::min(v.size(), count == SIZE_MAX ? v.size() : from + count);
    double sum = 0.0;
    for (std::size_t i = from; i < end; ++i)
        sum += static_cast<double>(v[i]) * v[i];
    return end > from ? std::sqrt(sum / static_cast<double>(end - from)) : 0.0;
}

QStringList Entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Each test exports into a folder of its own.
struct ExportCommand : testing::Test {
    QTemporaryDir dir;
    // Exports to `name` with `args`, which must succeed; what the file holds.
    Sound Export(const QString& name, const QStringList& args)
    {
        const RunResult r = RunCommand(QStringList{"--export", dir.filePath(name)} + args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.stderrText, "") << "no progress bar and no chatter when stderr is not a terminal";
        return Read(dir.filePath(name));
    }
};

} // namespace

TEST_F(ExportCommand, RecognisesTheRequest)
{
    EXPECT_TRUE(IsExportRequest({"corvane", "--export", "a.wav"}));
    EXPECT_TRUE(IsExportRequest({"corvane", "--seconds", "1", "--export=a.wav"}));
    EXPECT_FALSE(IsExportRequest({"corvane"}));
    EXPECT_FALSE(IsExportRequest({"corvane", "song.wav"}));
    EXPECT_FALSE(IsExportRequest({"--export"})); // the program name is never an option
}

TEST_F(ExportCommand, EveryRefusalExitsTwoNamesTheOptionAndWritesNothing)
{
    const QString home = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path())); // a file written by mistake would land here
    // Each bad value of an option, appended to a valid export, with a piece of the accepted range
    // the message must give.
    const std::tuple<const char*, QStringList, const char*> badValues[] = {
        {"--noise", {"grey"}, "phased-white|uniform-white|pink|resonance-pink|brown"},
        {"--hold", {"0", "101", "2.5"}, "1..100"},
        {"--filter", {"moog"}, "classic|sv-lowpass"},
        {"--cutoff", {"9.99", "20000", "nan", "1k"}, "10..10000"},
        {"--q", {"1.01"}, "0..1"},
        {"--smooth", {"1.5"}, "0..1"},
        {"--input", {"mic"}, "filter|noise"},
        {"--volume", {"1", "-10001"}, "-10000..0"},
        {"--pan", {"-1.5"}, "-1..1"},
        {"--pitch", {"0.2", "inf"}, "0.25..4"},
        {"--lfo1", {"sine"}, "SHAPE:HZ"},
        {"--lfo2", {"square:1"}, "sine|triangle|pulse|sawtooth|random"},
        {"--lfo3", {"sine:51", "sine:0.004"}, "0.005..50"},
        {"--route", {"cutoff"}, "TARGET=lfoN:DEPTH"},
        {"--route", {"mix=lfo1:0.5"}, "hold|smooth|cutoff|q|volume|pan|pitch"},
        {"--route", {"pan=lfo4:0.5"}, "N 1..3"},
        {"--route", {"pan=lfo1:1.25"}, "-0.25..1.246"},
        {"--rate", {"7999", "44100.5"}, "8000..192000"},
        {"--channels", {"3"}, "1 or 2"},
        {"--fade-in", {"-1", "2.5"}, "0..2 seconds"},
        {"--fade-out", {"soon"}, "0..2 seconds"},
    };
    // Whole command lines from --export on, or appended to a valid export: the option the
    // message must name and a piece of what it says.
    std::vector<std::tuple<QStringList, const char*, const char*>> cases = {
        {{"--route", "pan=lfo1:0.1", "--route", "pan=lfo2:0.2"}, "--route", "given twice"},
        {{"--fade-in", "1.5", "--fade-out", "0.6"}, "--fade-out", "together at most 2"},
        {{"--cutoff"}, "--cutoff", ""}, // value missing at the end
        {{"--colour", "red"}, "colour", ""},
        {{"stray"}, "stray", ""},
        {{"--export", "", "--seconds", "1"}, "--export", ".wav, .flac or .ogg"},
        {{"--export", "song.mp3", "--seconds", "1"}, "--export", ".wav, .flac or .ogg"},
        {{"--export", "a.wav"}, "--seconds", "more than 0"},
        {{"--export", "a.wav", "--seconds", "0"}, "--seconds", "at least one sample"},
        {{"--export", "a.wav", "--seconds", "-3"}, "--seconds", "more than 0"},
        {{"--export", "a.wav", "--seconds", "86401"}, "--seconds", "86400"},
        // 10 hours of 44.1 kHz stereo exceed what a WAV header can describe.
        {{"--export", "a.wav", "--seconds", "36000"}, "--seconds", ".flac or .ogg"},
    };
    for (const auto& [option, values, accepts] : badValues)
        for (const QString& value : values)
            cases.push_back({{option, value}, option, accepts});
    for (const auto& [given, option, accepts] : cases) {
        const QStringList args =
            given.first() == "--export" ? given : QStringList{"--export", "out.wav", "--seconds", "2"} + given;
        SCOPED_TRACE(args.join(' ').toStdString());
        const auto r = RunCommand(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.stderrText.find("corvane: "), 0u);
        EXPECT_NE(r.stderrText.find(option), std::string::npos) << r.stderrText;
        EXPECT_NE(r.stderrText.find(accepts), std::string::npos) << r.stderrText;
        EXPECT_EQ(std::count(r.stderrText.begin(), r.stderrText.end(), '\n'), 1) << r.stderrText;
        EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(' ').toStdString();
    }

    // An existing file survives both a refused option and a failed render untouched.
    QFile keep("out.wav");
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("keep me");
    keep.close();
    EXPECT_EQ(RunCommand({"--export", "out.wav", "--seconds", "1", "--cutoff", "5"}).exitCode, 2);
    const auto failed = RunCommand({"--export", "no/such/out.wav", "--seconds", "1"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.stderrText.find("cannot write"), std::string::npos) << failed.stderrText;
    ASSERT_TRUE(QDir().mkdir("taken.wav"));
    EXPECT_EQ(RunCommand({"--export", "taken.wav", "--seconds", "1"}).exitCode, 1);
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), QByteArray("keep me"));
    keep.close();
    EXPECT_EQ(Entries(dir), (QStringList{"out.wav", "taken.wav"}));
    // Replacing an existing file works once the render succeeds.
    EXPECT_EQ(RunCommand({"--export", "out.wav", "--seconds", "0.5"}).exitCode, 0);
    EXPECT_EQ(Read("out.wav").frames, 22050);
    QDir::setCurrent(home);
}

TEST_F(ExportCommand, TheFileHoldsWhatTheLivePanelPlays)
{
    // Each export against a second panel with the same settings made on its own controls (each
    // list before the knob that shapes it), ticked as the live program's clock would.
    const struct {
        const char* name;
        int channels;
        QStringList args;
        std::vector<std::pair<int, int>> controls;
    } cases[] = {
        {"default.wav", 2, {}, {}},
        {"mono.flac", 1, {"--channels", "1"}, {}},
        // LFO 2 at 20 x 20 x 0.005 = 2 Hz; the pan and cutoff routes; brown noise, hold 20, smoothed.
        {"route.wav", 2,
         {"--lfo2", "sine:2", "--route", "pan=lfo2:1", "--route", "cutoff=lfo1:0.5", "--noise", "brown", "--hold",
          "20", "--smooth", "0.5", "--route", "smooth=lfo3:0.5"},
         {{1038, 20}, {1043, 2}, {1042, 300}, {1026, 1}, {1007, 180}, {1010, 4}, {1011, 80}, {1032, 50}, {1033, 3},
          {1035, 180}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Sound s = Export(c.name, QStringList{"--seconds", "2"} + c.args);
        PanelPlayback ref(c.channels);
        for (const auto& [id, value] : c.controls) {
            if (auto* list = ref.Panel().GetControlAs<QComboBox>(id))
                list->setCurrentIndex(value);
            else
                ref.Panel().GetControlAs<QAbstractSlider>(id)->setSliderPosition(value); // as a drag
        }
        EXPECT_EQ(ref.Play(100), 100);
        ASSERT_GT(Rms(ref.blocks), 500.0) << "the reference must be sound, not silence";
        EXPECT_EQ(s.rate, 44100);
        ASSERT_EQ(s.frames, 88200);
        EXPECT_EQ(s.samples, ref.mixed);
        if (c.controls.empty()) {
            // Unmoved, every channel holds the panel's blocks as they are.
            for (int k = 0; k < c.channels; ++k)
                EXPECT_EQ(s.Channel(k), ref.blocks);
        }
    }

    // And the routed pan really swings: some blocks lean left, others right.
    const Sound s = Read(dir.filePath("route.wav"));
    const auto l = s.Channel(0), r = s.Channel(1);
    int leftHeavy = 0, rightHeavy = 0;
    for (std::size_t b = 0; b < 100; ++b) {
        const double balance = Rms(l, b * 882, 882) / Rms(r, b * 882, 882);
        leftHeavy += balance > 2.0;
        rightHeavy += balance < 0.5;
    }
    EXPECT_GT(leftHeavy, 20);
    EXPECT_GT(rightHeavy, 20);
}

TEST_F(ExportCommand, FadesRiseFromAndFallToSilenceAndLeaveTheMiddleAlone)
{
    const QStringList twoSecondsMono = {"--seconds", "2", "--channels", "1"};
    const auto p = Export("plain.wav", twoSecondsMono).samples;
    const auto f = Export("faded.wav", twoSecondsMono + QStringList{"--fade-in", "0.5", "--fade-out", "1"}).samples;
    ASSERT_EQ(p.size(), 88200u);
    ASSERT_EQ(f.size(), p.size());
    EXPECT_EQ(f.front(), 0);
    EXPECT_EQ(f.back(), 0);
    EXPECT_TRUE(std::equal(f.begin() + 22050, f.begin() + 44100, p.begin() + 22050)); // between the fades
    // Level ratio over 20 ms windows: rising through the fade-in, half way at its middle,
    // falling through the fade-out, each window at most the one before or after.
    const auto ratio = [&](std::size_t at) { return Rms(f, at, 882) / Rms(p, at, 882); };
    EXPECT_LT(ratio(0), 0.01);
    EXPECT_NEAR(ratio(11025 - 441), 0.5, 0.03);
    EXPECT_NEAR(ratio(66150 - 441), 0.5, 0.03);
    EXPECT_LT(ratio(88200 - 882), 0.01);
    for (std::size_t at = 882; at < 22050 - 882; at += 882)
        EXPECT_GT(ratio(at), ratio(at - 882)) << at;
    for (std::size_t at = 44100 + 882; at < 88200 - 882; at += 882)
        EXPECT_LT(ratio(at), ratio(at - 882)) << at;
}

TEST_F(ExportCommand, FractionalRateMeetsEverySegmentInTime)
{
    // At 48000 Hz the stream is read 0.91875 samples per output frame through the resampler.
    // Every stretch of the file must be the right block at the right time: the start-up sound
    // lies far below both Nyquist frequencies, so reading the blocks by linear interpolation
    // at the same instants gives nearly the same frames, while a block late by a segment, a
    // repeated or a stale one would differ by as much as the sound itself.
    const auto file = Export("48k.wav", {"--seconds", "2", "--rate", "48000", "--channels", "1"});
    PanelPlayback ref(1);
    EXPECT_EQ(ref.Play(102), 102);
    const std::vector<std::int16_t>& b = ref.blocks;
    ASSERT_EQ(file.frames, 96000);
    double worstDb = -1000;
    for (std::size_t start = 0; start + 960 <= file.samples.size(); start += 960) {
        double err = 0, level = 0;
        for (std::size_t j = start; j < start + 960; ++j) {
            const double at = j * 44100.0 / 48000.0;
            const auto i = static_cast<std::size_t>(at);
            const double expected = b[i] + (b[i + 1] - b[i]) * (at - i);
            err += (file.samples[j] - expected) * (file.samples[j] - expected);
            level += expected * expected;
        }
        worstDb = std::max(worstDb, 10 * std::log10(err / level));
    }
    // Four stale frames at the sound's level in one stretch would already come to -24 dB.
    EXPECT_LT(worstDb, -24.0);
}

TEST_F(ExportCommand, PanAndPitchAsAListenerHearsThem)
{
    const auto left = Export("left.wav", {"--seconds", "1", "--pan", "-1", "--noise", "pink"});
    EXPECT_GT(Rms(left.Channel(0)), 500.0);
    EXPECT_LE(Rms(left.Channel(1)), Rms(left.Channel(0)) * 1e-5); // 100 dB down

    // Double pitch plays the same blocks twice as fast: frame i at pitch 2 is frame 2i at
    // pitch 1 (a low-passed sound, so the band-limited conversion keeps it as it was).
    const auto x1 = Export("pitch1.wav", {"--seconds", "2", "--pitch", "1", "--cutoff", "1000"}).Channel(0);
    const auto x2 = Export("pitch2.wav", {"--seconds", "1", "--pitch", "2", "--cutoff", "1000"}).Channel(0);
    ASSERT_EQ(x2.size(), 44100u);
    double err = 0, level = 0;
    for (std::size_t i = 4410; i < x2.size(); ++i) { // past the first segments
        err += double(x2[i] - x1[2 * i]) * (x2[i] - x1[2 * i]);
        level += double(x1[2 * i]) * x1[2 * i];
    }
    EXPECT_LT(10 * std::log10(err / level), -20.0);
}

TEST_F(ExportCommand, FormatsRatesAndChannels)
{
    const std::tuple<const char*, int, int, int> cases[] = {
        {"a.ogg", 48000, 1, SF_FORMAT_OGG}, {"b.flac", 22050, 2, SF_FORMAT_FLAC}, {"c.WAV", 96000, 2, SF_FORMAT_WAV}};
    for (const auto& [name, rate, channels, format] : cases) {
        SCOPED_TRACE(name);
        const auto s = Export(name, {"--seconds", "0.75", "--rate", QString::number(rate), "--channels",
                                     QString::number(channels), "--noise", "uniform-white", "--input", "noise"});
        EXPECT_EQ(s.format & SF_FORMAT_TYPEMASK, format);
        EXPECT_TRUE(format == SF_FORMAT_OGG || (s.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16);
        EXPECT_EQ(s.rate, rate);
        EXPECT_EQ(s.channels, channels);
        EXPECT_EQ(s.frames, std::lround(rate * 0.75)); // to the nearest frame
        // Uniform white noise at full scale has an RMS near 32000 / sqrt(3) = 18475; below
        // 44100 Hz the band above the file's Nyquist frequency is filtered out (not folded
        // back), taking its share of the energy; lossy Vorbis gives up some of the highest band.
        const double full = 18475.0 * std::sqrt(std::min(1.0, rate / 44100.0));
        EXPECT_GT(Rms(s.samples), 0.65 * full);
        EXPECT_LT(Rms(s.samples), 1.2 * full);
    }
}

TEST_F(ExportCommand, HourLongExportStaysInRangeWithoutDropouts)
{
    // Modulated pitch makes the cursor move by fractions of a sample: the stepping must still
    // meet every segment. This renders a whole hour through the resampler (a minute or two).
    const QString path = dir.filePath("hour.wav");
    ASSERT_EQ(RunCommand({"--export", path, "--seconds", "3600", "--noise", "resonance-pink", "--q", "0.9",
                          "--lfo1", "sine:0.5", "--lfo2", "triangle:0.125", "--lfo3", "random:2", "--route",
                          "cutoff=lfo1:0.7", "--route", "pitch=lfo2:0.3", "--route", "pan=lfo3:0.5"})
                  .exitCode,
              0);
    // Read in pieces: the whole hour would take 600 MB. A NaN in the render cannot reach a
    // 16-bit file as such; it would show as a full-scale or a zero sample.
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    std::vector<std::int16_t> chunk(1 << 20);
    std::int64_t samples = 0, zeroRun = 0, longestZeroRun = 0;
    int peak = 0;
    for (sf_count_t got; (got = sf_read_short(f, chunk.data(), sf_count_t(chunk.size()))) > 0; samples += got) {
        for (sf_count_t i = 0; i < got; ++i) {
            peak = std::max(peak, std::abs(int(chunk[i])));
            zeroRun = chunk[i] == 0 ? zeroRun + 1 : 0;
            longestZeroRun = std::max(longestZeroRun, zeroRun);
        }
    }
    sf_close(f);
    EXPECT_EQ(samples, 3600LL * 44100 * 2);
    // Blocks stay within +-32000; the band-limited pitch shift may overshoot them a little,
    // but never to full scale.
    EXPECT_LT(peak, 32767);
    EXPECT_GT(peak, 10000);
    EXPECT_LT(longestZeroRun, 100) << "a silent stretch would be a dropout";
}

TEST_F(ExportCommand, InterruptStopsAndLeavesNoFile)
{
    // Ctrl-C as soon as the export has taken over the signal, i.e. while it renders.
    std::atomic<bool> sent{false};
    std::thread interrupter([&] {
        for (int i = 0; i < 5000 && !sent; ++i) {
            struct sigaction current {};
            sigaction(SIGINT, nullptr, &current);
            if (current.sa_handler != SIG_DFL) {
                sent = true;
                kill(getpid(), SIGINT);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const auto r = RunCommand({"--export", dir.filePath("long.wav"), "--seconds", "3000"});
    interrupter.join();
    ASSERT_TRUE(sent);
    EXPECT_EQ(r.exitCode, 128 + SIGINT);
    EXPECT_NE(r.stderrText.find("interrupted"), std::string::npos) << r.stderrText;
    EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(' ').toStdString();
}

TEST_F(ExportCommand, ProgressLine)
{
    EXPECT_EQ(CExportProgress::FormatLine(0, 441000, 44100, 10).toStdString(), "[----------]   0%  0.0 / 10.0 s");
    EXPECT_EQ(CExportProgress::FormatLine(220500, 441000, 44100, 10).toStdString(),
              "[#####-----]  50%  5.0 / 10.0 s");
    EXPECT_EQ(CExportProgress::FormatLine(999999, 441000, 44100, 4).toStdString(), "[####] 100%  10.0 / 10.0 s");
}
