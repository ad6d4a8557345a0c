// File > Export Audio...: the dialog's choices, and the render in a child process: its file,
// its progress, Cancel and failures.
#include "app/CExportAudioDialog.h"
#include "app/CExportJob.h"
#include "app/export/ExportCommand.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    for (const auto& [file, named] : {std::pair{QString(), "file name"}, {dir.filePath("a.mp3"), ".wav, .flac or .ogg"},
                                      {dir.filePath("no/such/a.wav"), "does not exist"}}) {
        dialog.SetFileName(file);
        EXPECT_TRUE(dialog.Problem().contains(named)) << dialog.Problem().toStdString();
    }
}

TEST(CExportJob, WritesWhatTheExportWritesReportsProgressCancelsAndFails)
{
    EXPECT_EQ(CExportJob::PercentOf("[####------]  40%  2.0 / 5.0 s"), 40);
    EXPECT_EQ(CExportJob::PercentOf("[----------]   0%  0.0 / 5.0 s"), 0);
    EXPECT_EQ(CExportJob::PercentOf("corvane: note: 40%"), -1);

    QTemporaryDir dir;
    const QStringList sound = {"--seconds", "3", "--noise", "brown", "--lfo1", "sine:0.5", "--route", "cutoff=lfo1:0.4"};
    CExportJob job;
    const QList<QVariant> done = RunJob(job, QStringList{"--export", dir.filePath("job.flac")} + sound);
    ASSERT_EQ(done.size(), 3);
    EXPECT_TRUE(done[0].toBool()) << done[2].toString().toStdString();
    ASSERT_EQ(RunExport(QStringList{"corvane", "--export", dir.filePath("direct.flac")} + sound), 0);
    EXPECT_FALSE(Contents(dir.filePath("job.flac")).isEmpty());
    EXPECT_EQ(Contents(dir.filePath("job.flac")), Contents(dir.filePath("direct.flac")));

    // Cancelled once the bar moves: no file, not even a partial one.
    QTemporaryDir cancelDir;
    QSignalSpy progress(&job, &CExportJob::Progress);
    QSignalSpy finished(&job, &CExportJob::Finished);
    job.Start(QStringLiteral(CORVANE_BINARY), {"--export", cancelDir.filePath("long.flac"), "--seconds", "36000"});
    ASSERT_TRUE(progress.wait(20000));
    job.Cancel();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(finished[0][0].toBool());
    EXPECT_TRUE(finished[0][1].toBool());
    EXPECT_TRUE(QDir(cancelDir.path()).isEmpty());

    // A failure comes back in the export's own words.
    const QList<QVariant> failed = RunJob(job, {"--export", dir.filePath("no/such/x.wav"), "--seconds", "1"});
    ASSERT_EQ(failed.size(), 3);
    EXPECT_FALSE(failed[0].toBool());
    EXPECT_FALSE(failed[1].toBool());
    EXPECT_TRUE(failed[2].toString().startsWith("corvane: ")) << failed[2].toString().toStdString();
}
