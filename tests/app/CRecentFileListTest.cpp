// Recent-file list: order, no repeats, at most eight, round trip through settings, menu text.
#include "app/CRecentFileList.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using corvane::CRecentFileList;

TEST(CRecentFileList, NewestFirstWithoutRepeatsAtMostEightAndNoStaleEntriesAfterASave)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("corvane.ini"), QSettings::IniFormat);
    CRecentFileList list;
    for (int i = 1; i <= 10; ++i)
        list.Add(QString("/s/%1.wav").arg(i));
    list.Save(settings);
    EXPECT_EQ(list.Paths(), QStringList({"/s/10.wav", "/s/9.wav", "/s/8.wav", "/s/7.wav", "/s/6.wav", "/s/5.wav",
                                         "/s/4.wav", "/s/3.wav"}));
    list.Add("/s/../s/5.wav"); // the same file, written differently, moves up
    EXPECT_EQ(list.Paths(), QStringList({"/s/5.wav", "/s/10.wav", "/s/9.wav", "/s/8.wav", "/s/7.wav", "/s/6.wav",
                                         "/s/4.wav", "/s/3.wav"}));
    for (int i = 0; i < 5; ++i)
        list.Remove(0);
    list.Remove(42);
    list.Save(settings); // three left: File4 to File8 must go
    EXPECT_FALSE(settings.contains("Recent File List/File4"));
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/s/6.wav");
    CRecentFileList loaded;
    loaded.Load(settings);
    EXPECT_EQ(loaded.Paths(), QStringList({"/s/6.wav", "/s/4.wav", "/s/3.wav"}));
}

TEST(CRecentFileList, MenuTextNumbersShortensHomeAndKeepsAmpersands)
{
    EXPECT_EQ(CRecentFileList::MenuText(0, "/home/ann/a&b.wav", "/home/ann"), "&1 ~/a&&b.wav");
    EXPECT_EQ(CRecentFileList::MenuText(7, "/home/annex/x.wav", "/home/ann"), "&8 /home/annex/x.wav");
    EXPECT_EQ(CRecentFileList::MenuText(2, "/data/x.wav", "/"), "&3 /data/x.wav");
}
