// The gallery's controls, placed in dialog units like the panel's template.
#include "CControlsGallery.h"

#include "controls/COrbRotaryKnob.h"
#include "controls/CSegmentDisplay.h"
#include "controls/CTextLabel.h"
#include "res/DialogTemplate.h"

#include <QCursor>
#include <QDir>
#include <QImage>
#include <QPixmap>

using namespace corvane::controls;

namespace {
using corvane::res::DluToPixelsX;
using corvane::res::DluToPixelsY;

QRect DluRect(int x, int y, int w, int h)
{
    return QRect(DluToPixelsX(x), DluToPixelsY(y), DluToPixelsX(w), DluToPixelsY(h));
}

constexpr COLORREF kHeadingBack = RGB(102, 102, 153);
constexpr COLORREF kHeadingText = RGB(230, 230, 230);
constexpr COLORREF kCaptionText = RGB(78, 78, 78);
constexpr COLORREF kDisplaySegment = RGB(255, 204, 51);
constexpr COLORREF kDisplayBack = RGB(51, 51, 102);

QImage Enlarged(QWidget* w, int factor)
{
    const QImage image = w->grab().toImage();
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
} // namespace

CControlsGallery::CControlsGallery(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Corvane controls"));
    setFixedSize(DluToPixelsX(470), DluToPixelsY(190));

    const auto heading = [this](const char* text, QRect r) {
        auto* l = new CTextLabel(QString::fromLatin1(text), this);
        l->setGeometry(r);
        l->SetStyle(SS_CENTER);
        l->SetBkColor(kHeadingBack, 0, FALSE).SetTextColor(kHeadingText).SetFontBold(TRUE);
        return l;
    };
    const auto caption = [this](const char* text, QRect r) {
        auto* l = new CTextLabel(this);
        l->setGeometry(r);
        l->SetStyle(SS_CENTER);
        l->SetTextColor(kCaptionText).SetFontName(QStringLiteral("SmallFonts"), 0).SetFontSize(7);
        l->SetText(QString::fromLatin1(text));
        return l;
    };
    const auto display = [this](QRect r, float value, const char* format) {
        auto* d = new CSegmentDisplay(this);
        d->setGeometry(r);
        d->SetFormat(format);
        d->SetColors(kDisplaySegment, kDisplayBack);
        d->SetValue(value, false, 0.0f, 100.0f);
        m_displays.push_back(d);
        return d;
    };
    const auto knob = [this](QRect r, bool enabled) {
        auto* k = new COrbRotaryKnob(this);
        k->setGeometry(r);
        k->setRange(0, 359);
        k->setValue(60);
        k->SetZeroAngle(180);
        k->setEnabled(enabled);
        connect(k, &COrbRotaryKnob::hScroll, this, &CControlsGallery::OnKnobScroll);
        m_knobs.push_back(k);
        return k;
    };

    // Value displays with the panel's formats and start values.
    heading("VALUE DISPLAYS", DluRect(6, 4, 300, 10));
    struct DisplaySetup {
        const char* caption;
        float value;
        const char* format;
    };
    const DisplaySetup displays[] = {
        {"FREQ", 1.0f, "%0.3f"},   {"HOLD", 1.0f, "%0.2f"},    {"FREQ", 1000.0f, "%0.2f"},
        {"Q", 0.0f, "%0.2f"},      {"VOLUME", 0.0f, "%000.0f"}, {"PAN", 0.0f, "%0.3f"},
        {"PITCH", 1.0f, "%0.2f"},
    };
    int x = 6;
    for (const DisplaySetup& s : displays) {
        caption(s.caption, DluRect(x, 18, 40, 8));
        CSegmentDisplay* d = display(DluRect(x, 30, 40, 12), s.value, s.format);
        if (QLatin1String(s.caption) == QLatin1String("PAN"))
            d->ShowPlusSign(1);
        x += 43;
    }
    caption("SMOOTH", DluRect(6, 46, 40, 8));
    display(DluRect(6, 56, 40, 12), 0.0f, "%0.2f")->ShowDigits(false);
    caption("drag: left coarse, right fine; click steps", DluRect(52, 58, 250, 8))->SetStyle(SS_LEFT);

    // The seven depth knobs; SM is disabled as on the panel.
    heading("MODULATION DEPTH", DluRect(6, 76, 300, 10));
    const char* knobs[] = {"HM", "SM", "FM", "QM", "AM", "BM", "FM"};
    x = 8;
    for (int i = 0; i < 7; ++i) {
        caption(knobs[i], DluRect(x, 90, 40, 8));
        knob(DluRect(x + 5, 100, 30, 30), i != 1);
        x += 43;
    }
    m_lblEvents = caption("move a knob: its notifications show here", DluRect(6, 134, 300, 8));
    m_lblEvents->SetStyle(SS_LEFT);

    // The badge and the label options the panel does not use.
    auto* badge = new CTextLabel(QStringLiteral("\nC O R V A N E\nCV-01"), this);
    badge->setGeometry(DluRect(320, 5, 75, 40));
    badge->SetStyle(SS_CENTER);
    badge->SetBkColor(RGB(51, 51, 51), 0, FALSE).SetTextColor(RGB(230, 230, 0)).SetFontItalic(TRUE);
    badge->SetFontSize(10).SetFontBold(TRUE);

    heading("LABEL OPTIONS", DluRect(320, 52, 140, 10));
    auto* gradient = new CTextLabel(QStringLiteral("Gradient"), this);
    gradient->setGeometry(DluRect(320, 66, 140, 12));
    gradient->SetStyle(SS_CENTER | SS_CENTERIMAGE);
    gradient->SetBkColor(RGB(0, 0, 80), RGB(120, 160, 255), TRUE).SetTextColor(RGB(255, 255, 255)).SetFontBold(TRUE);
    auto* emboss = new CTextLabel(QStringLiteral("Embossed"), this);
    emboss->setGeometry(DluRect(320, 82, 68, 12));
    emboss->SetStyle(SS_CENTER | SS_CENTERIMAGE);
    emboss->SetTextColor(RGB(90, 90, 90)).SetEmboss(TRUE, TRUE).SetFontSize(10).SetSunken(TRUE);
    auto* flashing = new CTextLabel(QStringLiteral("Flashing"), this);
    flashing->setGeometry(DluRect(392, 82, 68, 12));
    flashing->SetStyle(SS_CENTER | SS_CENTERIMAGE);
    flashing->SetBkColor(RGB(40, 40, 40)).SetTextColor(RGB(255, 80, 80)).FlashText(TRUE).SetBorder(TRUE);
    auto* rotated = new CTextLabel(QStringLiteral("Rotated"), this);
    rotated->setGeometry(DluRect(320, 98, 40, 40));
    rotated->SetRotationAngle(45, TRUE).SetBkColor(RGB(220, 220, 200));
    auto* link = new CTextLabel(QStringLiteral("https://www.qt.io"), this);
    link->setGeometry(DluRect(364, 110, 96, 10));
    link->SetStyle(SS_CENTER);
    const QCursor hand(Qt::PointingHandCursor);
    link->SetLink(TRUE, FALSE).SetLinkCursor(&hand).SetTextColor(RGB(0, 0, 200)).SetFontUnderline(TRUE);
}

void CControlsGallery::OnKnobScroll(int code, int position)
{
    static const char* const names[] = {"LINEUP", "LINEDOWN", "PAGEUP", "PAGEDOWN", "THUMBPOSITION",
                                        "THUMBTRACK", "TOP", "BOTTOM", "ENDSCROLL"};
    const QString name = code >= 0 && code <= 8 ? QLatin1String(names[code]) : QString::number(code);
    m_lblEvents->SetText(QStringLiteral("knob: SB_%1 at %2 (depth %3)")
                             .arg(name)
                             .arg(position)
                             .arg((position - 60) / 240.0, 0, 'f', 3));
}

bool CControlsGallery::SaveScreenshots(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return false;
    const QDir out(dir);
    bool ok = grab().toImage().save(out.filePath(QStringLiteral("gallery.png")));
    ok = Enlarged(m_knobs.at(2), 6).save(out.filePath(QStringLiteral("knob-x6.png"))) && ok;
    ok = Enlarged(m_displays.at(2), 6).save(out.filePath(QStringLiteral("display-x6.png"))) && ok;
    return ok;
}
