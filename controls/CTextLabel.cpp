// Text label: painting, font building, flashing and link handling.
#include "controls/CTextLabel.h"

#include "controls/CBufferedDC.h"
#include "controls/ColorRef.h"
#include "controls/GradientBands.h"
#include "controls/LabelTextLayout.h"
#include "controls/SystemColors.h"

#include <QDesktopServices>
#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QUrl>

#include <algorithm>

using namespace corvane::controls;

namespace {
constexpr int kFlashPeriodMs = 500;
constexpr int kMaxGradientBands = 100;
constexpr int kMaxFaceNameLength = 31;

bool DesktopOpen(const QString& text)
{
    if (text.trimmed().isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromUserInput(text));
}

CTextLabel::ShellOpener& Opener()
{
    static CTextLabel::ShellOpener opener = DesktopOpen;
    return opener;
}
} // namespace

CTextLabel::CTextLabel(QWidget* parent)
    : CTextLabel(QString(), parent)
{
}

CTextLabel::CTextLabel(const QString& text, QWidget* parent)
    : QFrame(parent)
    , m_crText(GetSysColor(palette(), COLOR_WINDOWTEXT))
    , m_crDefaultBack(GetSysColor(palette(), COLOR_BTNFACE))
    , m_strText(text)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    RebuildFont();
}

CTextLabel::ShellOpener CTextLabel::SetShellOpener(ShellOpener opener)
{
    ShellOpener previous = Opener();
    Opener() = opener ? std::move(opener) : ShellOpener(DesktopOpen);
    return previous;
}

CTextLabel& CTextLabel::SetBkColor(COLORREF crBack, COLORREF crGradientEnd, BOOL bGradient)
{
    m_crBack = crBack;
    m_crGradientEnd = crGradientEnd;
    m_bGradient = bGradient;
    m_crBrushBack.reset();
    if (!bGradient)
        m_crBrushBack = crBack;
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetTextColor(COLORREF crText)
{
    m_crText = crText;
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetText(const QString& text)
{
    m_strText = text;
    updateGeometry();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetFontBold(BOOL bBold)
{
    m_lf.setWeight(bBold ? QFont::Bold : QFont::Normal);
    RebuildFont();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetFontName(const QString& name, BYTE /*nCharSet*/)
{
    m_lf.setFamily(name.left(kMaxFaceNameLength));
    RebuildFont();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetFontUnderline(BOOL bUnderline)
{
    m_lf.setUnderline(bUnderline);
    RebuildFont();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetFontItalic(BOOL bItalic)
{
    m_lf.setItalic(bItalic);
    RebuildFont();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetFontSize(int nPoints)
{
    if (nPoints > 0)
        m_lf.setPointSize(nPoints);
    RebuildFont();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetSunken(BOOL bSunken)
{
    m_bSunken = bSunken;
    UpdateFrame();
    return *this;
}

CTextLabel& CTextLabel::SetBorder(BOOL bBorder)
{
    m_bBorder = bBorder;
    UpdateFrame();
    return *this;
}

CTextLabel& CTextLabel::SetTransparent(BOOL bTransparent)
{
    m_bTransparent = bTransparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !bTransparent);
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::FlashText(BOOL bActivate)
{
    if (m_bTimerSet)
        m_flashTimer.stop();
    if (bActivate) {
        m_nBlinkPhase = 0;
        m_bTimerSet = 1;
        m_flashTimer.start(kFlashPeriodMs, this);
        m_nFlashMode = 1;
    } else {
        m_nFlashMode = 0;
    }
    // Show the change at once, so stopping in the hidden phase does not leave the text hidden.
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::FlashBackground(BOOL bActivate)
{
    if (m_bTimerSet)
        m_flashTimer.stop();
    if (bActivate) {
        m_nBlinkPhase = 0;
        m_bTimerSet = 1;
        m_flashTimer.start(kFlashPeriodMs, this);
        m_nFlashMode = 2;
    }
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetLink(BOOL bLink, BOOL bNotifyParent)
{
    m_bNotifyParent = bNotifyParent;
    if (bLink)
        ModifyStyle(0, SS_NOTIFY);
    else
        ModifyStyle(SS_NOTIFY, 0);
    return *this;
}

CTextLabel& CTextLabel::SetLinkCursor(const QCursor* pCursor)
{
    if (pCursor)
        m_linkCursor = *pCursor;
    else
        m_linkCursor.reset();
    UpdateCursor();
    return *this;
}

CTextLabel& CTextLabel::SetEmboss(BOOL bOn, BOOL bRaised)
{
    m_bEmboss = bOn;
    m_bEmbossRaised = bRaised;
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetRotationAngle(int nDegrees, BOOL bRotate)
{
    m_nEscapement = nDegrees * 10;
    m_bRotate = bRotate;
    RebuildFont();
    RedrawWithParent();
    return *this;
}

CTextLabel& CTextLabel::SetEmbossColor(COLORREF crEmboss)
{
    m_crEmboss = crEmboss;
    RedrawWithParent();
    return *this;
}

void CTextLabel::SetStyle(DWORD style)
{
    m_dwStyle = style;
    UpdateCursor();
    RedrawWithParent();
}

void CTextLabel::ModifyStyle(DWORD remove, DWORD add)
{
    SetStyle((m_dwStyle & ~remove) | add);
}

QSize CTextLabel::sizeHint() const
{
    const QFontMetrics fm(m_font);
    const LabelTextLayout layout = LabelTextLayoutFor(m_dwStyle, m_strText);
    const QSize text = fm.size(layout.flags & ~Qt::TextWordWrap, layout.text);
    const int frame = 2 * frameWidth();
    return QSize(text.width() + frame + 2, text.height() + frame);
}

void CTextLabel::SetZoom(double zoom)
{
    if (!(zoom > 0.0) || zoom == m_fZoom)
        return;
    m_fZoom = zoom;
    RebuildFont();
    updateGeometry();
    RedrawWithParent();
}

void CTextLabel::RebuildFont()
{
    // Attributes set through this label win; everything else follows the parent's font.
    m_font = m_lf.resolve(font());
    // Every attribute is now decided; without this the painter would take what the parent
    // left unset (its size, for the headings) from the drawing device's default font instead.
    m_font.setResolveMask(QFont::AllPropertiesResolved);
    if ((m_lf.resolveMask() & QFont::SizeResolved) && m_fZoom != 1.0)
        m_font.setPointSizeF(m_lf.pointSizeF() * m_fZoom);
}

void CTextLabel::RedrawWithParent()
{
    // Qt repaints whatever lies behind a non-opaque widget, so the parent needs no extra call.
    update();
}

void CTextLabel::UpdateCursor()
{
    if (m_linkCursor && (m_dwStyle & SS_NOTIFY))
        setCursor(*m_linkCursor);
    else
        unsetCursor();
}

void CTextLabel::UpdateFrame()
{
    if (m_bSunken)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else if (m_bBorder)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    else
        setFrameStyle(QFrame::NoFrame);
    setLineWidth(1);
    RedrawWithParent();
}

void CTextLabel::PaintContent(QPainter& dc, const QRect& r)
{
    dc.setFont(m_font);
    if (!m_bTransparent) {
        if (m_bGradient) {
            for (const GradientBand& band : GradientBands(r, m_crBack, m_crGradientEnd, kMaxGradientBands))
                dc.fillRect(band.rect, ToQColor(band.colour));
        } else {
            dc.fillRect(r, ToQColor(m_crBrushBack.value_or(m_crDefaultBack)));
        }
    }
    COLORREF text = m_crText;
    if (m_nFlashMode == 1 && m_nBlinkPhase == 0)
        text = m_crBrushBack.value_or(0x000000);
    dc.setPen(ToQColor(text));

    const LabelTextLayout layout = LabelTextLayoutFor(m_dwStyle, m_strText);
    if (m_bRotate) {
        QString line = layout.text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        dc.save();
        dc.translate(r.width() / 2, r.height() / 2);
        dc.rotate(-m_nEscapement / 10.0);
        const int advance = dc.fontMetrics().horizontalAdvance(line);
        dc.drawText(QPoint(-advance / 2, 0), line);
        dc.restore();
        return;
    }
    dc.drawText(r, layout.flags, layout.text);
    if (m_bEmboss) {
        dc.setPen(ToQColor(m_crEmboss));
        const int step = std::max(1, qRound(m_fZoom));
        const int offset = m_bEmbossRaised ? step : -step;
        dc.drawText(r.translated(offset, offset), layout.flags, layout.text);
    }
}

void CTextLabel::paintEvent(QPaintEvent*)
{
    const QRect content = contentsRect();
    const QRect r(0, 0, content.width(), content.height());
    if (m_bTransparent) {
        QPainter dc(this);
        dc.translate(content.topLeft());
        dc.setClipRect(r);
        PaintContent(dc, r);
    } else if (!content.isEmpty()) {
        CBufferedDC dc(this, content);
        dc.translate(content.topLeft());
        PaintContent(dc, r);
    }
    if (frameStyle() != QFrame::NoFrame) {
        QPainter frame(this);
        drawFrame(&frame);
    }
}

void CTextLabel::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_flashTimer.timerId()) {
        QFrame::timerEvent(event);
        return;
    }
    m_nBlinkPhase = m_nBlinkPhase ? 0 : 1;
    RedrawWithParent();
}

void CTextLabel::mousePressEvent(QMouseEvent* event)
{
    // Without SS_NOTIFY the label is transparent to clicks: they go to the parent.
    if (!(m_dwStyle & SS_NOTIFY) || event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    if (m_bNotifyParent)
        emit notify(m_nId, kLinkNotifyCode);
    else
        Opener()(m_strText);
    event->accept();
}

void CTextLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is not another click on the link.
    if (m_dwStyle & SS_NOTIFY)
        event->accept();
    else
        QFrame::mouseDoubleClickEvent(event);
}

void CTextLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        // The default background follows the dialog face; the text colour stays as set.
        m_crDefaultBack = GetSysColor(palette(), COLOR_BTNFACE);
        RedrawWithParent();
    } else if (event->type() == QEvent::FontChange) {
        RebuildFont();
        updateGeometry();
        RedrawWithParent();
    }
    QFrame::changeEvent(event);
}
