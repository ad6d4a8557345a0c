// The demo renders its gallery offscreen into PNG files under the build folder.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
int CountPixels(const QImage& img, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}
} // namespace

TEST(ControlsDemo, ScreenshotsShowTheControls)
{
    const QString dir = QStringLiteral(CORVANE_SCREENSHOT_DIR);
    for (const char* name : {"gallery.png", "knob-x6.png", "display-x6.png"})
        QFile::remove(QDir(dir).filePath(QLatin1String(name)));

    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(CORVANE_CONTROLS_DEMO), {QStringLiteral("--screenshot"), dir});
    ASSERT_TRUE(demo.waitForFinished(60000));
    ASSERT_EQ(demo.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();

    const QImage gallery(QDir(dir).filePath(QStringLiteral("gallery.png")));
    ASSERT_FALSE(gallery.isNull());
    EXPECT_GT(CountPixels(gallery, QColor(255, 204, 51)), 50); // lit segments
    EXPECT_GT(CountPixels(gallery, QColor(127, 102, 19)), 50); // dimmed segments
    EXPECT_EQ(CountPixels(gallery, QColor(255, 128, 0)), 7 * 12); // seven knob markers' rims
    EXPECT_GT(CountPixels(gallery, QColor(102, 102, 153)), 100);  // heading background

    const QImage knob(QDir(dir).filePath(QStringLiteral("knob-x6.png")));
    ASSERT_FALSE(knob.isNull());
    EXPECT_EQ(knob.size(), QSize(45 * 6, 49 * 6));
    EXPECT_EQ(CountPixels(knob, QColor(255, 128, 0)), 12 * 36);
    EXPECT_FALSE(QImage(QDir(dir).filePath(QStringLiteral("display-x6.png"))).isNull());
}
