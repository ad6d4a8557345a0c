// Text label widget: default colours, gradient bands, flashing, fonts and the link behaviour.
#include "controls/CTextLabel.h"

#include "PixelCount.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane::controls;

namespace {

// Big bold text so that the letters' stems cover whole pixels in the text colour.
void MakeBigText(CTextLabel& label)
{
    label.resize(200, 40);
    label.SetText(QStringLiteral("HIH")).SetFontSize(20).SetFontBold(TRUE);
}

} // namespace

TEST(CTextLabel, DefaultColoursFollowTheDialogFaceAndGradientBands)
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

    // A 40-pixel gradient label gets 40 one-pixel bands.
    CTextLabel gradient;
    gradient.resize(40, 12);
    gradient.SetBkColor(RGB(9, 9, 9), 0, FALSE).SetBkColor(RGB(0, 0, 0), RGB(200, 100, 40), TRUE);
    img = gradient.grab().toImage();
    for (int x : {0, 1, 2, 20, 39})
        for (int y : {0, 11})
            EXPECT_EQ(img.pixelColor(x, y), QColor(5 * x, (640 * x) / 256, x)) << x << "," << y;
}

TEST(CTextLabel, FlashingHidesTheTextInPhaseZero)
{
    CTextLabel label, plain;
    MakeBigText(label);
    label.SetBkColor(RGB(0, 0, 128)).SetTextColor(RGB(255, 255, 255)).FlashText(TRUE);
    EXPECT_EQ(CountPixels(label.grab().toImage(), QColor(0, 0, 128)), 200 * 40); // phase 0: hidden
    ASSERT_TRUE(QTest::qWaitFor([&] { return label.GetBlinkPhase() == 1; }, 5000));
    EXPECT_GT(CountPixels(label.grab().toImage(), Qt::white), 20);
    label.FlashText(FALSE);
    EXPECT_GT(CountPixels(label.grab().toImage(), Qt::white), 20);

    // Without a solid background the hidden phase draws the text black.
    MakeBigText(plain);
    plain.SetTextColor(RGB(255, 255, 255)).FlashText(TRUE);
    const QImage img = plain.grab().toImage();
    EXPECT_GT(CountPixels(img, Qt::black), 20);
    EXPECT_EQ(CountPixels(img, Qt::white), 0);
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
    const QFont font = heading->GetFont();
    EXPECT_EQ(std::tuple(font.family(), font.pointSize(), font.bold(), font.italic()),
              std::tuple(QStringLiteral("DejaVu Serif"), 15, true, true));
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
    // Link, notify, the click, and how many opens and notifications (sent at once, not posted) there are after it.
    const struct { BOOL link, notifyParent; Qt::MouseButton button; int opened, notes; } clicks[] = {
        {FALSE, FALSE, Qt::LeftButton, 0, 0}, {TRUE, FALSE, Qt::LeftButton, 1, 0}, {TRUE, FALSE, Qt::RightButton, 1, 0},
        {TRUE, TRUE, Qt::LeftButton, 1, 1},   {FALSE, TRUE, Qt::LeftButton, 1, 1}};
    for (const auto& c : clicks) {
        label->SetLink(c.link, c.notifyParent);
        QTest::mouseClick(label, c.button, Qt::NoModifier, QPoint(5, 5));
        EXPECT_EQ(std::tuple(opened.size(), notes.size()), std::tuple(c.opened, c.notes)) << "row " << &c - clicks;
    }
    EXPECT_EQ(opened.value(0), QStringLiteral("https://example.org/corvane"));
    EXPECT_EQ(std::tuple(notes.value(0).value(0).toInt(), notes.value(0).value(1).toInt()), std::tuple(1050, 0x8200));
    CTextLabel::SetShellOpener(previous);
}
