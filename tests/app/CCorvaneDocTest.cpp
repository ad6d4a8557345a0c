// Document: saves write the sound, failed saves are reported (never success), opens read it.
#include "app/CCorvaneDoc.h"

#include "FakePrompts.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using corvane::CCorvaneDoc;
using corvane::test::ReadFile;
using corvane::test::WriteFile;

TEST(CCorvaneDoc, SaveWritesTheSoundAndAFailedSaveIsReportedAndChangesNothing)
{
    QTemporaryDir dir;
    corvane::test::CFakePrompts prompts;
    CCorvaneDoc doc(prompts);
    CExportOptions sound;
    sound.noise = 2;
    doc.SetSoundSource([&sound] { return sound; });
    QSignalSpy paths(&doc, &CCorvaneDoc::PathNameSet);
    // Neither can be written, not even by root: a missing folder, and a file under /proc.
    for (const QString& target : {QString("/nonexistent-corvane-dir/sub/x.corvane"), QString("/proc/corvane.corvane")}) {
        prompts.errors.clear();
        prompts.saveAnswer = target;
        EXPECT_FALSE(doc.DoSave(QString(), true)) << target.toStdString();
        EXPECT_TRUE(prompts.errors.size() == 1 && prompts.errors[0].startsWith("Corvane: Cannot save " + target))
            << prompts.errors.join('\n').toStdString();
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    EXPECT_TRUE(doc.GetTitle() == "Untitled" && paths.isEmpty()); // still unnamed
    prompts.errors.clear();
    prompts.saveAnswer.clear(); // cancelling the file dialog is no failure to report
    EXPECT_FALSE(doc.DoSave(QString(), true));
    EXPECT_TRUE(prompts.errors.isEmpty());

    // An untitled document asks for a name first, proposing its title with the extension.
    const QString target = WriteFile(dir.filePath("rain.corvane"), "not a sound before");
    prompts.saveAnswer = target;
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(prompts.proposed, "Untitled.corvane");
    EXPECT_TRUE(ReadFile(target).endsWith("[Sound]\nformat=1\nnoise=pink\n")) << ReadFile(target).toStdString();
    EXPECT_TRUE(doc.GetPathName() == target && doc.GetTitle() == "rain.corvane" && paths.count() == 1);
    EXPECT_TRUE(prompts.errors.isEmpty());
    // Saving again goes to the same file without asking.
    sound.noise.reset();
    prompts.questions = 0;
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_EQ(prompts.questions, 0);
    EXPECT_FALSE(ReadFile(target).contains("noise"));
}

TEST(CCorvaneDoc, OpenReadsTheSoundAndARefusedFileChangesNothing)
{
    QTemporaryDir dir;
    corvane::test::CFakePrompts prompts;
    CCorvaneDoc doc(prompts);
    QSignalSpy titles(&doc, &CCorvaneDoc::TitleChanged);
    const QString path = WriteFile(dir.filePath("wind.corvane"), "[Sound]\nfilter=sv-highpass\ncolour=grey\n");
    QString error;
    ASSERT_TRUE(doc.OnOpenDocument(path, &error));
    EXPECT_EQ(doc.GetTitle(), "wind.corvane");
    EXPECT_EQ(doc.Sound().filter, 2);
    EXPECT_EQ(doc.Warnings(), QStringList{path + ", line 3: unknown key 'colour' ignored"});
    doc.SetModifiedFlag(true);
    EXPECT_EQ(titles.last().at(0).toString(), "wind.corvane*");

    const QString bad = WriteFile(dir.filePath("bad.corvane"), "[Sound]\nfilter=sv-highpass\nvolume=3\n");
    for (const QString& refused : {dir.path(), bad}) {
        EXPECT_FALSE(doc.OnOpenDocument(refused, &error));
        EXPECT_TRUE(error.contains(refused)) << error.toStdString();
    }
    // A refused open leaves the document as it was.
    EXPECT_TRUE(doc.GetTitle() == "wind.corvane" && doc.IsModified() && doc.Sound().filter == 2);

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetTitle() == "Untitled" && doc.GetPathName().isEmpty());
    EXPECT_FALSE(doc.IsModified() || doc.Sound().filter);
}
