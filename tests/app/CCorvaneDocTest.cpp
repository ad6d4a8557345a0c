// Document: empty saves, failed saves reported (never success), open reads nothing.
#include "app/CCorvaneDoc.h"

#include "FakePrompts.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using corvane::CCorvaneDoc;

namespace {
void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}
} // namespace

TEST(CCorvaneDoc, SaveWritesAnEmptyFileAndAFailedSaveIsReportedAndChangesNothing)
{
    QTemporaryDir dir;
    corvane::test::CFakePrompts prompts;
    CCorvaneDoc doc(prompts);
    QSignalSpy paths(&doc, &CCorvaneDoc::PathNameSet);
    // Neither can be written, not even by root: a missing folder, and a file under /proc.
    for (const QString& target : {QString("/nonexistent-corvane-dir/sub/x.wav"), QString("/proc/corvane.wav")}) {
        prompts.errors.clear();
        prompts.saveAnswer = target;
        EXPECT_FALSE(doc.DoSave(QString(), true)) << target.toStdString();
        ASSERT_EQ(prompts.errors.size(), 1);
        EXPECT_TRUE(prompts.errors[0].startsWith("Corvane: Cannot save " + target)) << prompts.errors[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_EQ(paths.count(), 0);
    prompts.errors.clear();
    prompts.saveAnswer.clear(); // cancelling the file dialog is no failure to report
    EXPECT_FALSE(doc.DoSave(QString(), true));
    EXPECT_TRUE(prompts.errors.isEmpty());

    // An untitled document asks for a name first, proposing its title with the extension.
    const QString target = dir.filePath("rain.wav");
    WriteFile(target, "not empty before");
    prompts.saveAnswer = target;
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_EQ(prompts.proposed, "Untitled.wav");
    EXPECT_EQ(prompts.lastFilter, "Wave Files (*.wav)");
    EXPECT_EQ(prompts.lastSuffix, "wav");
    EXPECT_EQ(QFileInfo(target).size(), 0);
    EXPECT_EQ(doc.GetTitle(), "rain.wav");
    EXPECT_EQ(doc.GetPathName(), target);
    EXPECT_EQ(paths.count(), 1);
    EXPECT_TRUE(prompts.errors.isEmpty());
    // Saving again goes to the same file without asking.
    WriteFile(target, "x");
    prompts.questions = 0;
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_EQ(prompts.questions, 0);
    EXPECT_EQ(QFileInfo(target).size(), 0);
}

TEST(CCorvaneDoc, OpenReadsNothingAndRefusesWhatCannotBeOpened)
{
    QTemporaryDir dir;
    corvane::test::CFakePrompts prompts;
    CCorvaneDoc doc(prompts);
    const QString path = dir.filePath("wind.wav");
    WriteFile(path, "RIFF....WAVE");
    QString error;
    ASSERT_TRUE(doc.OnOpenDocument(path, &error));
    EXPECT_EQ(doc.GetTitle(), "wind.wav");
    EXPECT_EQ(QFileInfo(path).size(), 12); // untouched

    EXPECT_FALSE(doc.OnOpenDocument(dir.path(), &error));
    EXPECT_TRUE(error.contains("folder")) << error.toStdString();
    EXPECT_EQ(doc.GetTitle(), "wind.wav"); // a failed open leaves the document as it was

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.GetPathName().isEmpty());
}
