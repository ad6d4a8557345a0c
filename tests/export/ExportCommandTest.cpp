// The command-line export end to end: exit codes, files left behind, and what the file holds.
#include "ExportTestSupport.h"

#include "app/export/CExportProgress.h"
#include "app/export/CHeadlessPanel.h"
#include "app/export/ExportCommand.h"
#include "panel/CCorvaneFormView.h"

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

using exporttest::Read;
using exporttest::RunCommand;

namespace {

double Rms(const std::vector<std::int16_t>& v, std::size_t from = 0, std::size_t count = SIZE_MAX)
{
    const std::size_t end = std::min(v.size(), count == SIZE_MAX ? v.size() : from + count);
    double sum = 0.0;
    for (std::size_t i = from; i < end; ++i) {
        sum += static_cast<double>(v[i]) * v[i];
    }
    return end > from ? std::sqrt(sum / static_cast<double>(end - from)) : 0.0;
}

QStringList Entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(ExportCommand, RecognisesTheRequest)
{
    EXPECT_TRUE(IsExportRequest({"corvane", "--export", "a.wav"}));
    EXPECT_TRUE(IsExportRequest({"corvane", "--seconds", "1", "--export=a.wav"}));
    EXPECT_FALSE(IsExportRequest({"corvane"}));
    EXPECT_FALSE(IsExportRequest({"corvane", "song.wav"}));
    EXPECT_FALSE(IsExportRequest({"--export"})); // the program name is never an option
}

TEST(ExportCommand, RefusalsExitTwoAndWriteNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath("out.wav");
    const QStringList bad[] = {
        {"--export", target, "--seconds", "1", "--cutoff", "5"},
        {"--export", target, "--seconds", "1", "--route", "pan=lfo9:1"},
        {"--export", target, "--seconds", "1", "--bogus"},
        {"--export", target},
        {"--export", dir.filePath("out.mp3"), "--seconds", "1"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const auto r = RunCommand(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.stderrText.find("corvane: "), std::string::npos);
        EXPECT_EQ(std::count(r.stderrText.begin(), r.stderrText.end(), '\n'), 1) << r.stderrText;
        EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(' ').toStdString();
    }
    EXPECT_NE(RunCommand(bad[0]).stderrText.find("--cutoff"), std::string::npos);

    // An existing file survives both a refused option and a failed render untouched.
    QFile keep(target);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("keep me");
    keep.close();
    EXPECT_EQ(RunCommand(bad[0]).exitCode, 2);
    const QString missingFolder = dir.filePath("no/such/folder/out.wav");
    const auto failed = RunCommand({"--export", missingFolder, "--seconds", "1"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.stderrText.find("cannot write"), std::string::npos) << failed.stderrText;
    const auto folder = RunCommand({"--export", dir.path() + "/sub.wav", "--seconds", "1"});
    EXPECT_EQ(folder.exitCode, 0); // a plain new name in an existing folder works
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.wav"));
    EXPECT_EQ(RunCommand({"--export", dir.filePath("taken.wav"), "--seconds", "1"}).exitCode, 1);
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), QByteArray("keep me"));
    keep.close();
    EXPECT_EQ(Entries(dir), (QStringList{"out.wav", "sub.wav", "taken.wav"}));

    // Replacing an existing file works once the render succeeds.
    EXPECT_EQ(RunCommand({"--export", target, "--seconds", "0.5"}).exitCode, 0);
    EXPECT_EQ(Read(target).frames, 22050);
}

TEST(ExportCommand, DefaultExportEqualsThePanelBlocks)
{
    QTemporaryDir dir;
    const QString stereo = dir.filePath("default.wav");
    const QString mono = dir.filePath("mono.flac");
    const auto quiet = RunCommand({"--export", stereo, "--seconds", "3"});
    ASSERT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.stderrText, "") << "no progress bar and no chatter when stderr is not a terminal";
    ASSERT_EQ(RunCommand({"--export", mono, "--seconds", "3", "--channels", "1"}).exitCode, 0);

    // A second panel with start-up settings, ticked once per 882 mixed frames.
    CHeadlessPanel headless;
    QString error;
    ASSERT_TRUE(headless.Create(44100, 2, &error)) << error.toStdString();
    const int blocks = 3 * 50;
    const auto ref = exporttest::DriveReference(headless.Panel(), headless.Device(), 2, blocks);
    ASSERT_TRUE(ref.allAccepted);
    ASSERT_GT(Rms(ref.blocks), 500.0) << "the reference must be sound, not silence";

    const auto s = Read(stereo);
    ASSERT_EQ(s.rate, 44100);
    ASSERT_EQ(s.channels, 2);
    ASSERT_EQ(s.frames, 3 * 44100);
    EXPECT_EQ(s.Channel(0), ref.blocks);
    EXPECT_EQ(s.Channel(1), ref.blocks);
    const auto m = Read(mono);
    ASSERT_EQ(m.channels, 1);
    EXPECT_EQ(m.samples, ref.blocks);
}

TEST(ExportCommand, FractionalRateMeetsEverySegmentInTime)
{
    // At 48000 Hz the cursor moves 0.91875 samples per output frame. Every frame must be the
    // linear interpolation of the right block; only a frame between the last sample of a block
    // and the first of the next looks one sample ahead into the segment the stream has not
    // yet taken, exactly as live playback does.
    QTemporaryDir dir;
    const QString path = dir.filePath("48k.wav");
    ASSERT_EQ(RunCommand({"--export", path, "--seconds", "2", "--rate", "48000", "--channels", "1"}).exitCode, 0);
    CHeadlessPanel headless;
    QString error;
    ASSERT_TRUE(headless.Create(44100, 1, &error));
    const auto ref = exporttest::DriveReference(headless.Panel(), headless.Device(), 1, 102);
    const std::vector<std::int16_t>& b = ref.blocks;
    const auto file = Read(path);
    ASSERT_EQ(file.frames, 96000);

    // The cursor advances as the mixer advances it: a running sum, wrapped at the buffer's end.
    const double step = 44100.0 / 48000.0;
    double cursor = 0.0;
    std::size_t passStart = 0; // index into the blocks of the buffer's current pass
    int mismatches = 0;
    int lookAheads = 0;
    for (std::int64_t j = 0; j < file.frames; ++j, cursor += step) {
        if (cursor >= 7056.0) {
            cursor = std::fmod(cursor, 7056.0);
            passStart += 7056;
        }
        const auto within = static_cast<std::size_t>(cursor);
        const std::size_t i = passStart + within;
        const float frac = static_cast<float>(cursor - static_cast<double>(within));
        float next = b[i + 1];
        if ((i + 1) % 882 == 0 && frac > 0.0f) {
            ++lookAheads; // still the segment's previous pass (silence on the first)
            next = i + 1 >= 7056 ? b[i + 1 - 7056] : 0.0f;
        }
        const float expected = b[i] + (next - b[i]) * frac;
        if (std::fabs(expected - file.samples[static_cast<std::size_t>(j)]) > 1.0f) {
            ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(lookAheads, 50);
}

TEST(ExportCommand, PanLeftLeavesTheRightChannelHundredDecibelsDown)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("left.wav");
    ASSERT_EQ(RunCommand({"--export", path, "--seconds", "1", "--pan", "-1", "--noise", "pink"}).exitCode, 0);
    const auto s = Read(path);
    const double left = Rms(s.Channel(0));
    const double right = Rms(s.Channel(1));
    EXPECT_GT(left, 500.0);
    EXPECT_LE(right, left * 1e-5);
}

TEST(ExportCommand, DoublePitchPlaysHeldSamplesInRunsOfFour)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pitch.wav");
    ASSERT_EQ(RunCommand({"--export", path, "--seconds", "1", "--pitch", "2", "--hold", "8", "--input", "noise",
                   "--rate", "44100"})
                  .exitCode,
              0);
    const auto s = Read(path);
    ASSERT_EQ(s.frames, 44100);
    const auto left = s.Channel(0);
    // Runs start where the first change is; each is exactly four samples of the held value.
    std::size_t start = 1;
    while (start < left.size() && left[start] == left[0]) {
        ++start;
    }
    ASSERT_LE(start, 4u);
    int unequalRuns = 0;
    int runs = 0;
    for (std::size_t i = start; i + 4 < left.size(); i += 4) {
        ++runs;
        for (std::size_t k = 1; k < 4; ++k) {
            unequalRuns += left[i + k] != left[i] ? 1 : 0;
        }
        EXPECT_EQ(unequalRuns, 0) << "at " << i;
        if (unequalRuns != 0) {
            break;
        }
    }
    // Neighbouring runs hold different noise values (not runs of eight).
    int changes = 0;
    for (std::size_t i = start; i + 4 < left.size(); i += 4) {
        changes += left[i + 4] != left[i] ? 1 : 0;
    }
    EXPECT_GT(changes, runs * 9 / 10);
}

TEST(ExportCommand, RouteMovesItsTargetAsTheLivePanelDoes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("route.wav");
    ASSERT_EQ(RunCommand({"--export", path, "--seconds", "2", "--lfo2", "sine:2", "--route", "pan=lfo2:1",
                   "--route", "cutoff=lfo1:0.5"})
                  .exitCode,
              0);

    // The live panel with the same routes chosen on its own controls.
    CHeadlessPanel headless;
    QString error;
    ASSERT_TRUE(headless.Create(44100, 2, &error));
    CCorvaneFormView& panel = headless.Panel();
    auto* lfo2 = panel.GetControlAs<QAbstractSlider>(1038);
    lfo2->setValue(20); // 20 x 20 x 0.005 = 2 Hz
    panel.OnSliderMoved(lfo2);
    panel.GetControlAs<QComboBox>(1043)->setCurrentIndex(2);
    panel.GetControlAs<QAbstractSlider>(1042)->setValue(300);
    panel.GetControlAs<QComboBox>(1026)->setCurrentIndex(1);
    panel.GetControlAs<QAbstractSlider>(1007)->setValue(180);
    const auto ref = exporttest::DriveReference(panel, headless.Device(), 2, 100);
    ASSERT_TRUE(ref.allAccepted);

    const auto s = Read(path);
    ASSERT_EQ(s.frames, 88200);
    EXPECT_EQ(s.samples, ref.mixed);

    // And the pan really swings: some blocks lean left, others right.
    const auto l = s.Channel(0);
    const auto r = s.Channel(1);
    int leftHeavy = 0;
    int rightHeavy = 0;
    for (std::size_t b = 0; b < 100; ++b) {
        const double lr = Rms(l, b * 882, 882);
        const double rr = Rms(r, b * 882, 882);
        leftHeavy += lr > 2.0 * rr ? 1 : 0;
        rightHeavy += rr > 2.0 * lr ? 1 : 0;
    }
    EXPECT_GT(leftHeavy, 20);
    EXPECT_GT(rightHeavy, 20);
}

TEST(ExportCommand, FormatsRatesAndChannels)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        const char* rate;
        const char* channels;
        int format;
    };
    const Case cases[] = {{"a.ogg", "48000", "1", SF_FORMAT_OGG}, {"b.flac", "22050", "2", SF_FORMAT_FLAC},
                          {"c.WAV", "96000", "2", SF_FORMAT_WAV}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        ASSERT_EQ(RunCommand({"--export", path, "--seconds", "0.75", "--rate", c.rate, "--channels", c.channels,
                              "--noise", "uniform-white", "--input", "noise"})
                      .exitCode,
                  0);
        SF_INFO info{};
        SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
        ASSERT_NE(f, nullptr);
        sf_close(f);
        EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, c.format);
        if (c.format != SF_FORMAT_OGG) {
            EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
        }
        const auto s = Read(path);
        EXPECT_EQ(s.rate, QString(c.rate).toInt());
        EXPECT_EQ(s.channels, QString(c.channels).toInt());
        EXPECT_EQ(s.frames, std::lround(QString(c.rate).toInt() * 0.75)); // to the nearest frame
        // Uniform white noise at full scale has an RMS near 32000 / sqrt(3) = 18475, whatever the
        // rate; lossy Vorbis gives up some of the highest band.
        const double rms = Rms(s.samples);
        EXPECT_GT(rms, 12000.0);
        EXPECT_LT(rms, 22000.0);
    }
}

TEST(ExportCommand, HourLongExportStaysInRangeWithoutDropouts)
{
    // Modulated pitch makes the cursor move by fractions of a sample: the stepping must still
    // meet every segment. This renders a whole hour (a few tens of seconds).
    QTemporaryDir dir;
    const QString path = dir.filePath("hour.wav");
    ASSERT_EQ(RunCommand({"--export", path, "--seconds", "3600", "--noise", "resonance-pink", "--q", "0.9",
                          "--lfo1", "sine:0.5", "--lfo2", "triangle:0.125", "--lfo3", "random:2", "--route",
                          "cutoff=lfo1:0.7", "--route", "pitch=lfo2:0.3", "--route", "pan=lfo3:0.5"})
                  .exitCode,
              0);
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(info.frames, 3600LL * 44100);
    std::vector<float> chunk(1 << 20);
    std::int64_t frames = 0;
    int peak = 0;
    bool finite = true;
    std::int64_t zeroRun = 0;
    std::int64_t longestZeroRun = 0;
    sf_count_t got = 0;
    while ((got = sf_readf_float(f, chunk.data(), static_cast<sf_count_t>(chunk.size() / 2))) > 0) {
        for (sf_count_t i = 0; i < got * 2; ++i) {
            const float x = chunk[static_cast<std::size_t>(i)];
            finite = finite && std::isfinite(x);
            const int n = static_cast<int>(std::lround(x * 32768.0f));
            peak = std::max(peak, std::abs(n));
            zeroRun = n == 0 ? zeroRun + 1 : 0;
            longestZeroRun = std::max(longestZeroRun, zeroRun);
        }
        frames += got;
    }
    sf_close(f);
    EXPECT_EQ(frames, 3600LL * 44100);
    EXPECT_TRUE(finite);
    EXPECT_LE(peak, 32000);
    EXPECT_GT(peak, 10000);
    EXPECT_LT(longestZeroRun, 100) << "a silent stretch would be a dropout";
}

TEST(ExportCommand, InterruptStopsAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.wav");
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
    const auto r = RunCommand({"--export", path, "--seconds", "3000"});
    interrupter.join();
    ASSERT_TRUE(sent);
    EXPECT_EQ(r.exitCode, 128 + SIGINT);
    EXPECT_NE(r.stderrText.find("interrupted"), std::string::npos) << r.stderrText;
    EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(' ').toStdString();
}

TEST(ExportCommand, ProgressLine)
{
    EXPECT_EQ(CExportProgress::FormatLine(0, 441000, 44100, 10).toStdString(), "[----------]   0%  0.0 / 10.0 s");
    EXPECT_EQ(CExportProgress::FormatLine(220500, 441000, 44100, 10).toStdString(),
              "[#####-----]  50%  5.0 / 10.0 s");
    EXPECT_EQ(CExportProgress::FormatLine(999999, 441000, 44100, 4).toStdString(), "[####] 100%  10.0 / 10.0 s");
}
