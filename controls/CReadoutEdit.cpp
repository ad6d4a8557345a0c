// The read-only line edit that paints a plain number cheaply.
#include "controls/CReadoutEdit.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <cmath>

namespace {
// QLineEdit's own spacing between its contents rect and the text.
constexpr int kHorizontalMargin = 2;

bool AllDigits(const QString& text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !text.isEmpty();
}
} // namespace

CReadoutEdit::CReadoutEdit(QWidget* parent) : QLineEdit(parent) {}

void CReadoutEdit::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_nDigitsState = 0;
        m_frame = QImage();
    }
    QLineEdit::changeEvent(event);
}

bool CReadoutEdit::PrepareDigits()
{
    if (m_nDigitsState != 0)
        return m_nDigitsState > 0;
    m_nDigitsState = -1;
    m_rawFont = QRawFont::fromFont(font());
    const QString digits = QStringLiteral("0123456789");
    const QList<quint32> glyphs = m_rawFont.glyphIndexesForString(digits);
    if (!m_rawFont.isValid() || glyphs.size() != 10 || glyphs.contains(0u))
        return false;
    const QList<QPointF> advances = m_rawFont.advancesForGlyphIndexes(glyphs);
    for (int d = 0; d < 10; ++d) {
        m_digitGlyphs[d] = glyphs[d];
        m_digitAdvances[d] = advances[d].x();
    }
    // Every pair must lay out as the sum of its advances (no kerning), and no digit may reach
    // beyond the font's height, which would move the line.
    const QFontMetricsF metrics(font());
    const QFontMetrics whole(font());
    if (whole.boundingRect(digits).height() != whole.height())
        return false;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            if (metrics.horizontalAdvance(digits.mid(a, 1) + digits.mid(b, 1)) !=
                m_digitAdvances[a] + m_digitAdvances[b])
                return false;
    m_nDigitsState = 1;
    return true;
}

void CReadoutEdit::ShowNumber(qint64 value)
{
    const QString number = QString::number(value);
    const bool idle = isReadOnly() && !hasFocus() && !hasSelectedText() && m_nDigitsState >= 0;
    if (!idle || !m_sinceCatchUp.isValid() || m_sinceCatchUp.hasExpired(1000)) {
        m_bAhead = false;
        m_sinceCatchUp.start();
        setText(number);
        return;
    }
    if (number == ShownText())
        return;
    m_painted = number;
    m_bAhead = true;
    // Only the text changes: the frame around it stays as painted.
    update(m_frame.isNull() ? rect() : m_contents);
}

void CReadoutEdit::CatchUp()
{
    if (!m_bAhead)
        return;
    m_bAhead = false;
    m_sinceCatchUp.start();
    setText(m_painted);
}

void CReadoutEdit::focusInEvent(QFocusEvent* event)
{
    CatchUp();
    QLineEdit::focusInEvent(event);
}

void CReadoutEdit::contextMenuEvent(QContextMenuEvent* event)
{
    CatchUp();
    QLineEdit::contextMenuEvent(event);
}

bool CReadoutEdit::PaintDigits()
{
    if (!isReadOnly() || hasFocus() || hasSelectedText() || echoMode() != Normal ||
        layoutDirection() != Qt::LeftToRight || !m_bScrollAtStart ||
        (alignment() & ~(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter)) || !styleSheet().isEmpty())
        return false;
    const QString shown = ShownText();
    if (!AllDigits(shown) || !PrepareDigits())
        return false;

    QPainter p(this);
    // The device painted on (the window, or an image when grabbed) decides the frame's scale.
    const QPaintDevice* device = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
    const qreal dpr = device ? device->devicePixelRatioF() : devicePixelRatioF();
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const FrameKey key{size(), dpr, static_cast<int>(panel.state), panel.palette.cacheKey(), style(), textMargins()};
    if (m_frame.isNull() || !(key == m_frameKey)) {
        m_frame = QImage(size() * dpr, QImage::Format_ARGB32_Premultiplied);
        m_frame.setDevicePixelRatio(dpr);
        m_frame.fill(Qt::transparent);
        QPainter framePainter(&m_frame);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &framePainter, this);
        // Where QLineEdit puts the line: its contents rect, centred vertically, after its margin.
        m_contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
        const int top = m_contents.y() + (m_contents.height() - fontMetrics().height() + 1) / 2;
        m_baseline = top + QFontMetricsF(font()).ascent();
        m_frameKey = key;
    }

    qreal width = 0;
    for (QChar c : shown)
        width += m_digitAdvances[c.unicode() - '0'];
    const int left = m_contents.x() + kHorizontalMargin;
    if (std::lround(width) + 1 > m_contents.width() - 2 * kHorizontalMargin) {
        p.end(); // QLineEdit scrolls it, and paints it itself
        return false;
    }

    m_glyphs.resize(shown.size());
    m_positions.resize(shown.size());
    qreal x = left;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const int d = shown[i].unicode() - '0';
        m_glyphs[i] = m_digitGlyphs[d];
        m_positions[i] = QPointF(x, m_baseline);
        x += m_digitAdvances[d];
    }
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setGlyphIndexes(m_glyphs);
    run.setPositions(m_positions);

    p.drawImage(0, 0, m_frame);
    p.setClipRect(m_contents);
    p.setPen(palette().text().color());
    p.drawGlyphRun(QPointF(0, 0), run);
    return true;
}

void CReadoutEdit::paintEvent(QPaintEvent* event)
{
    if (PaintDigits())
        return;
    CatchUp();
    QLineEdit::paintEvent(event);
    // QLineEdit scrolls a text that does not fit; one that fits, left-aligned, it shows from its
    // start, as the quick way assumes.
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                        .marginsRemoved(textMargins());
    m_bScrollAtStart = !(alignment() & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignTrailing)) &&
                       fontMetrics().horizontalAdvance(text()) + 1 <= r.width() - 2 * kHorizontalMargin;
}
