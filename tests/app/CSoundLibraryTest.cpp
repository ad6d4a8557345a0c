// Finding the ready-made sounds, their menu names, and names back to files.
#include "app/CSoundLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(CSoundLibrary, FirstExistingFolderMenuNamesAndLookUpByEitherName)
{
    QTemporaryDir dir;
    for (const char* file : {"ocean-surf.corvane", "rain-on-a-roof.corvane", "Wind.corvane", "notes.txt"})
        QFile(dir.filePath(file)).open(QIODevice::WriteOnly);
    const CSoundLibrary library({dir.filePath("missing"), dir.path(), QDir::tempPath()});
    EXPECT_EQ(library.Folder(), dir.path());
    EXPECT_EQ(library.Names(), (QStringList{"Ocean Surf", "Rain on a Roof", "Wind"}));
    for (const char* name : {"Rain on a Roof", "rain-on-a-roof", " RAIN ON A ROOF "})
        EXPECT_EQ(library.PathOf(name), dir.filePath("rain-on-a-roof.corvane")) << name;
    for (const char* name : {"", "rain", "notes", "../ocean-surf"})
        EXPECT_TRUE(library.PathOf(name).isEmpty()) << name;
    EXPECT_EQ(CSoundLibrary::NameOf("soft-pink-for-sleep"), "Soft Pink for Sleep");
    EXPECT_EQ(CSoundLibrary::NameOf("a-storm-in-the-hills"), "A Storm in the Hills");

    const CSoundLibrary none({dir.filePath("missing")});
    EXPECT_TRUE(none.Folder().isEmpty() && none.Names().isEmpty() && none.PathOf("Wind").isEmpty());
    // Run from the build folder, the program finds the source tree's sounds.
    EXPECT_GE(CSoundLibrary().Names().size(), 10);
}
