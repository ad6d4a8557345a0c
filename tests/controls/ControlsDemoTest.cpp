// The demo renders its gallery offscreen into PNG files under the build folder.
#include "PixelCount.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

TEST(ControlsDemo, ScreenshotsShowTheControls)
{
    const QDir dir(QStringLiteral(CORVANE_SCREENSHOT_DIR));
    for (const char* name : {"gallery.png", "knob-x6.png", "display-x6.png"})
        QFile::remove(dir.filePath(QLatin1String(name)));
    QProcess demo; // on the test's own (offscreen) platform
    demo.start(QStringLiteral(CORVANE_CONTROLS_DEMO), {QStringLiteral("--screenshot"), dir.path()});
    ASSERT_TRUE(demo.waitForFinished(60000));
    ASSERT_EQ(demo.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();

    // The controls' pixels are checked on the widgets (the enlarged images only scale them up);
    // here that the files are written and the gallery holds all seven knobs.
    for (const char* name : {"knob-x6.png", "display-x6.png"})
        EXPECT_FALSE(QImage(dir.filePath(QLatin1String(name))).isNull()) << name;
    const QImage gallery(dir.filePath(QStringLiteral("gallery.png")));
    ASSERT_FALSE(gallery.isNull());
    EXPECT_EQ(CountPixels(gallery, QColor(255, 128, 0)), 7 * 12); // seven knob markers' rims
}
