// About box: caption, texts in template order and places, icon, OK and Escape close it.
#include "app/AppIdentity.h"
#include "app/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(CAboutDlg, ShowsCaptionIconProductVersionAndOkAndClosesOnOkOrEscape)
{
    corvane::SetApplicationIdentity();
    corvane::CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Corvane");
    EXPECT_EQ(about.size(), QSize(363, 146)); // 242 x 90 dialog units
    EXPECT_EQ(about.ProductLine()->text(), "Corvane - CV 01 - Ambience Synthesizer");
    EXPECT_EQ(about.VersionLine()->text(), "Version 07.02.MFC");
    EXPECT_FALSE(about.AboutLine()->text().isEmpty());
    EXPECT_EQ(about.OkButton()->text(), "OK");
    EXPECT_TRUE(about.OkButton()->isDefault());
    EXPECT_EQ(about.IconLabel()->pixmap().size(), QSize(30, 30));
    // Template positions, with room for each whole line; OK at the bottom right.
    EXPECT_EQ(about.ProductLine()->pos(), QPoint(60, 16));
    EXPECT_EQ(about.VersionLine()->pos(), QPoint(60, 41));
    EXPECT_EQ(about.AboutLine()->pos(), QPoint(60, 65));
    EXPECT_EQ(about.OkButton()->geometry(), QRect(278, 98, 75, 23));
    for (QLabel* line : {about.ProductLine(), about.VersionLine(), about.AboutLine()})
        EXPECT_GE(line->width(), line->sizeHint().width()) << line->text().toStdString();

    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
    corvane::CAboutDlg again;
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    QTest::keyClick(&again, Qt::Key_Escape);
    EXPECT_FALSE(again.isVisible());
}
