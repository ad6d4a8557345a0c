// About box: its lines fit, it has its icon, and OK closes it.
#include "app/AppIdentity.h"
#include "app/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(CAboutDlg, LinesFitItHasItsIconAndOkClosesIt)
{
    corvane::SetApplicationIdentity();
    corvane::CAboutDlg about;
    // Every line has room for its whole text; OK is the default button.
    for (QLabel* line : {about.ProductLine(), about.VersionLine(), about.AboutLine()}) {
        EXPECT_FALSE(line->text().isEmpty());
        EXPECT_GE(line->width(), line->sizeHint().width()) << line->text().toStdString();
        EXPECT_TRUE(about.rect().contains(line->geometry()));
    }
    EXPECT_TRUE(about.OkButton()->isDefault());
    EXPECT_FALSE(about.IconLabel()->pixmap().isNull());

    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted); // and so closed, as any accepted dialog
}
