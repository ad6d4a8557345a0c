// File > Export Audio...: the dialog's choices, and the render in a child process: its file,
// its progress, Cancel and failures.
#include "app/CExportAudioDialog.h"
#include "app/CExportJob.h"
#include "app/ExportAudioCommand.h"
#include "app/export/CHeadlessPanel.h"
#include "app/export/CSoundCapture.h"
#include "app/export/ExportCommand.h"
#include "panel/CCorvaneFormView.h"
#include "TestFiles.h"

#include <QAbstractSlider>
#include <QComboBox>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimeEdit>

#include <gtest/gtest.h>

using corvane::test::ReadFile;

namespace {
// Runs a job to its end; the arguments of Finished.
QList<QVariant> RunJob(CExportJob& job, const QStringList& args, int timeoutMs = 30000)
{
    QSignalSpy finished(&job, &CExportJob::Finished);
    job.Start(QStringLiteral(CORVANE_BINARY), args);
    return finished.wait(timeoutMs) ? finished.takeFirst() : QList<QVariant>{};
}

} // namespace

TEST(CExportAudioDialog, ChoicesBecomeExportOptionsAndUnusableOnesAreNamed)
{
    QTemporaryDir dir;
    CExportAudioDialog dialog;
    dialog.SetFileName(dir.filePath("night.ogg"));
    dialog.SetSeconds(3725);
    dialog.SetRate(48000);
    EXPECT_EQ(dialog.findChild<QTimeEdit*>()->text(), "1:02:05");
    EXPECT_EQ(dialog.ExportArguments(),
              (QStringList{"--export", dir.filePath("night.ogg"), "--seconds", "3725", "--rate", "48000"}));
    EXPECT_TRUE(dialog.Problem().isEmpty());
    dialog.SetFades(2.5, 3725); // only the fades that are set are passed on; together they may not outlast the export
    EXPECT_TRUE(dialog.Problem().contains("longer together")) << dialog.Problem().toStdString();
    dialog.SetFades(2.5, 0);
    EXPECT_EQ(dialog.ExportArguments().mid(6), (QStringList{"--fade-in", "2.5"}));
    EXPECT_TRUE(dialog.Problem().isEmpty());
    for (const auto& [file, named] : {std::pair{QString(), "file name"}, {dir.filePath("a.mp3"), ".wav, .flac or .ogg"},
                                      {dir.filePath("no/such/a.wav"), "does not exist"}}) {
        dialog.SetFileName(file);
        EXPECT_TRUE(dialog.Problem().contains(named)) << dialog.Problem().toStdString();
    }
}

TEST(CExportJob, ReportsProgressCancelsAndFails)
{
    EXPECT_EQ(CExportJob::PercentOf("[####------]  40%  2.0 / 5.0 s"), 40);
    EXPECT_EQ(CExportJob::PercentOf("[----------]   0%  0.0 / 5.0 s"), 0);
    EXPECT_EQ(CExportJob::PercentOf("corvane: note: 40%"), -1);

    // Cancelled once the bar moves: no file, not even a partial one.
    QTemporaryDir dir, cancelDir;
    CExportJob job;
    QSignalSpy progress(&job, &CExportJob::Progress);
    QSignalSpy finished(&job, &CExportJob::Finished);
    job.Start(QStringLiteral(CORVANE_BINARY), {"--export", cancelDir.filePath("long.flac"), "--seconds", "36000"});
    ASSERT_TRUE(progress.wait(20000));
    job.Cancel();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished[0].mid(0, 2), (QList<QVariant>{false, true})); // not done, cancelled
    EXPECT_TRUE(QDir(cancelDir.path()).isEmpty());

    // A failure comes back in the export's own words.
    const QList<QVariant> failed = RunJob(job, {"--export", dir.filePath("no/such/x.wav"), "--seconds", "1"});
    ASSERT_EQ(failed.size(), 3);
    EXPECT_EQ(failed.mid(0, 2), (QList<QVariant>{false, false}));
    EXPECT_TRUE(failed[2].toString().startsWith("corvane: ")) << failed[2].toString().toStdString();
}

TEST(ExportAudio, TheWindowsExportOfAChangedPanelEqualsTheCommandLinesWithTheSameSettings)
{
    CHeadlessPanel headless;
    QString error;
    ASSERT_TRUE(headless.Create(44100, 2, &error));
    CCorvaneFormView& panel = headless.Panel();
    const CSoundCapture capture(panel);
    panel.GetControlAs<QComboBox>(1010)->setCurrentIndex(4);             // Brown
    panel.GetControlAs<QAbstractSlider>(1011)->setSliderPosition(90);    // hold 10
    panel.GetControlAs<QAbstractSlider>(1032)->setSliderPosition(50);    // smooth 0.5
    panel.GetControlAs<QComboBox>(1009)->setCurrentIndex(3);             // SV band-pass
    panel.GetControlAs<QAbstractSlider>(1002)->setSliderPosition(50);    // 5000 Hz
    panel.GetControlAs<QComboBox>(1012)->setCurrentIndex(1);             // LFO 1 triangle
    panel.GetControlAs<QAbstractSlider>(1025)->setSliderPosition(20);    // at 2 Hz
    panel.GetControlAs<QComboBox>(1043)->setCurrentIndex(1);             // pan follows LFO 1
    panel.GetControlAs<QAbstractSlider>(1042)->setSliderPosition(180);          // at depth 0.5

    QTemporaryDir dir;
    QTemporaryFile soundFile(dir.filePath("sound-XXXXXX.corvane"));
    ASSERT_TRUE(soundFile.open());
    const QStringList args = corvane::ExportAudioArguments(
        capture.Capture(), {"--export", dir.filePath("window.flac"), "--seconds", "4", "--rate", "48000"}, soundFile,
        &error);
    ASSERT_FALSE(args.isEmpty()) << error.toStdString();
    CExportJob job;
    const QList<QVariant> done = RunJob(job, args);
    ASSERT_EQ(done.size(), 3);
    ASSERT_TRUE(done[0].toBool()) << done[2].toString().toStdString();
    ASSERT_EQ(RunExport({"corvane", "--export", dir.filePath("direct.flac"), "--seconds", "4", "--rate", "48000",
                         "--noise", "brown", "--hold", "10", "--smooth", "0.5", "--filter", "sv-bandpass", "--cutoff",
                         "5000", "--lfo1", "triangle:2", "--route", "pan=lfo1:0.5"}),
              0);
    EXPECT_FALSE(ReadFile(dir.filePath("window.flac")).isEmpty());
    EXPECT_EQ(ReadFile(dir.filePath("window.flac")), ReadFile(dir.filePath("direct.flac")));
}
