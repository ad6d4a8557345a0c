// Text label widget: default colours, gradient bands, flashing, fonts and the link behaviour.
#include "controls/CTextLabel.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane::controls;

namespace {

int CountPixels(const QImage& img, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

// Big bold text so that the letters' stems cover whole pixels in the text colour.
void MakeBigText(CTextLabel& label)
{
    label.resize(200, 40);
    label.SetText(QStringLiteral("HIH")).SetFontSize(20).SetFontBold(TRUE);
}

} // namespace

TEST(CTextLabel, DefaultsToDialogFaceAndWindowText)
{
    CTextLabel label;
    MakeBigText(label);
    const QColor face = label.palette().color(QPalette::Window);
    const QColor text = label.palette().color(QPalette::WindowText);
    ASSERT_NE(face, text);
    EXPECT_EQ(label.GetTextColor(), RGB(text.red(), text.green(), text.blue()));
    QImage img = label.grab().toImage();
    EXPECT_EQ(img.pixelColor(199, 39), face);
    EXPECT_GT(CountPixels(img, text), 20);

    // A palette change moves the background with the dialog face; the text colour stays.
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, QColor(10, 200, 30));
    pal.setColor(QPalette::WindowText, QColor(250, 0, 0));
    label.setPalette(pal);
    img = label.grab().toImage();
    EXPECT_EQ(img.pixelColor(199, 39), QColor(10, 200, 30));
    EXPECT_GT(CountPixels(img, text), 20);
    EXPECT_EQ(CountPixels(img, QColor(250, 0, 0)), 0);
}

TEST(CTextLabel, GradientOfOnePixelBands)
{
    CTextLabel label;
    label.resize(40, 12);
    label.SetBkColor(RGB(9, 9, 9), 0, FALSE).SetBkColor(RGB(0, 0, 0), RGB(200, 100, 40), TRUE);
    const QImage img = label.grab().toImage();
    for (int x : {0, 1, 2, 20, 39})
        for (int y : {0, 11})
            EXPECT_EQ(img.pixelColor(x, y), QColor(5 * x, (640 * x) / 256, x)) << x << "," << y;
}

TEST(CTextLabel, FlashingHidesTheTextInPhaseZero)
{
    CTextLabel label;
    MakeBigText(label);
    label.SetBkColor(RGB(0, 0, 128)).SetTextColor(RGB(255, 255, 255)).FlashText(TRUE);
    EXPECT_EQ(label.GetBlinkPhase(), 0);
    QImage img = label.grab().toImage();
    EXPECT_EQ(CountPixels(img, QColor(0, 0, 128)), 200 * 40);

    ASSERT_TRUE(QTest::qWaitFor([&] { return label.GetBlinkPhase() == 1; }, 5000));
    img = label.grab().toImage();
    EXPECT_GT(CountPixels(img, Qt::white), 20);

    label.FlashText(FALSE);
    EXPECT_GT(CountPixels(label.grab().toImage(), Qt::white), 20);

    // Without a solid background the hidden phase draws the text black.
    CTextLabel plain;
    MakeBigText(plain);
    plain.SetTextColor(RGB(255, 255, 255)).FlashText(TRUE);
    EXPECT_GT(CountPixels(plain.grab().toImage(), Qt::black), 20);
    EXPECT_EQ(CountPixels(plain.grab().toImage(), Qt::white), 0);
}

TEST(CTextLabel, FontOptionsKeepWhatWasSetAndFollowTheRest)
{
    QWidget parent;
    parent.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    auto* label = new CTextLabel(&parent);
    label->SetFontName(QStringLiteral("SmallFonts"), 0).SetFontSize(7);
    EXPECT_EQ(label->GetFont().family(), QStringLiteral("SmallFonts"));
    EXPECT_EQ(label->GetFont().pointSize(), 7);
    label->SetFontName(QStringLiteral("A face name that is far longer than thirty-one characters"));
    EXPECT_EQ(label->GetFont().family().size(), 31);

    auto* heading = new CTextLabel(&parent);
    heading->SetFontBold(TRUE).SetFontItalic(TRUE);
    parent.setFont(QFont(QStringLiteral("DejaVu Serif"), 15));
    EXPECT_EQ(heading->GetFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(heading->GetFont().pointSize(), 15);
    EXPECT_TRUE(heading->GetFont().bold());
    EXPECT_TRUE(heading->GetFont().italic());
}

TEST(CTextLabel, LinkOpensOrNotifiesOnlyWithTheNotifyStyle)
{
    QStringList opened;
    const auto previous = CTextLabel::SetShellOpener([&opened](const QString& text) {
        opened << text;
        return true;
    });
    QWidget parent;
    auto* label = new CTextLabel(QStringLiteral("https://example.org/corvane"), &parent);
    label->setGeometry(0, 0, 120, 20);
    label->SetDlgCtrlID(1050);
    QSignalSpy notes(label, &CTextLabel::notify);

    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(notes.isEmpty());

    label->SetLink(TRUE, FALSE);
    EXPECT_TRUE(label->GetStyle() & SS_NOTIFY);
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(label, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(opened, QStringList{QStringLiteral("https://example.org/corvane")});
    EXPECT_TRUE(notes.isEmpty());

    label->SetLink(TRUE, TRUE);
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(opened.size(), 1);
    ASSERT_EQ(notes.size(), 1); // sent at once, not posted
    EXPECT_EQ(notes.at(0).at(0).toInt(), 1050);
    EXPECT_EQ(notes.at(0).at(1).toInt(), 0x8200);

    label->SetLink(FALSE, TRUE);
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(notes.size(), 1);
    CTextLabel::SetShellOpener(previous);
}
