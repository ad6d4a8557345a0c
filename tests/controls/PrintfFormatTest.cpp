// Display formats: numbers come out as printf would, mismatched or hostile formats do no harm.
#include "controls/PrintfFormat.h"

#include <gtest/gtest.h>

using corvane::controls::FormatNumber;

TEST(PrintfFormat, PanelFormats)
{
    EXPECT_EQ(FormatNumber("%0.3f", 1.0), "1.000");
    EXPECT_EQ(FormatNumber("%0.2f", 1000.0), "1000.00");
    EXPECT_EQ(FormatNumber("%0.2f", -0.5), "-0.50");
    EXPECT_EQ(FormatNumber("%000.0f", 100.0), "100");
    EXPECT_EQ(FormatNumber("%.3d", 7.9), "007");
    EXPECT_EQ(FormatNumber(QStringLiteral("%ld\u00B0"), 60), QStringLiteral("60\u00B0"));
    EXPECT_EQ(FormatNumber("%x", 255), "ff");
}

TEST(PrintfFormat, OddFormatsAreCopiedNotInterpreted)
{
    EXPECT_EQ(FormatNumber("%s", 1.0), "%s");
    EXPECT_EQ(FormatNumber("%d and %d", 5), "5 and %d");
    EXPECT_EQ(FormatNumber("100%%", 1.0), "100%");
    EXPECT_EQ(FormatNumber("%*d", 5), "%*d");
    EXPECT_EQ(FormatNumber("%99999d", 5), "%99999d");
    EXPECT_EQ(FormatNumber("50%", 5), "50%");
    EXPECT_EQ(FormatNumber("no number", 5), "no number");
    EXPECT_EQ(FormatNumber("%d", 1e30), "2147483647");
}
