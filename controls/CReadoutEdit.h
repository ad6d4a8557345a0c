// A read-only line edit for a number rewritten on every render tick (the elapsed time). It is a
// QLineEdit in every respect (text, selection, copy, focus, accessibility) and paints the same
// pixels, but a plain string of digits, while the box has no focus, is painted from a cached
// frame and the font's pre-measured digit glyphs: no text shaping and no style drawing on each
// change. (The frame's anti-aliased corners are blended from the cache in one step; over pixels
// other than transparency that can differ from drawing them afresh by one level.)
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QRawFont>

#include <array>

class CReadoutEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CReadoutEdit(QWidget* parent = nullptr);

    // Shows a count as the box's text. While nobody is using the box (read-only, no focus, no
    // selection) the digits are only painted: handing each one to QLineEdit cost a text layout
    // per tick, more than the render itself. The line edit's text (read by text(), copy and
    // accessibility) catches up at least once a second, and at once when the box takes the
    // focus, opens its menu or cannot paint the quick way.
    void ShowNumber(qint64 value);
    // What the box shows now (text() may still hold an earlier number).
    QString ShownText() const { return m_bAhead ? m_painted : text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The digits' glyphs and advances for the current font; false when a string of digits
    // would not be laid out as their plain sum (kerning, fallback fonts, odd heights).
    bool PrepareDigits();
    // Paints as QLineEdit would, when the quick way gives the same pixels; false otherwise.
    bool PaintDigits();
    // Hands a number only painted so far to QLineEdit.
    void CatchUp();

    struct FrameKey {
        QSize size;
        qreal dpr = 0;
        int state = 0;
        qint64 palette = 0;
        const QStyle* style = nullptr;
        QMargins margins;
        bool operator==(const FrameKey&) const = default;
    };
    FrameKey m_frameKey;
    QImage m_frame;    // the style's panel, drawn once per key
    QRect m_contents;  // where the text may go
    qreal m_baseline = 0;
    QList<quint32> m_glyphs;    // kept to spare an allocation per paint
    QList<QPointF> m_positions;

    int m_nDigitsState = 0; // 0 not measured, 1 usable, -1 not usable for this font
    QRawFont m_rawFont;
    std::array<quint32, 10> m_digitGlyphs{};
    std::array<qreal, 10> m_digitAdvances{};
    // QLineEdit keeps a horizontal scroll from its last paint; the quick way assumes none.
    bool m_bScrollAtStart = false;

    QString m_painted;          // the number shown, when QLineEdit does not have it yet
    bool m_bAhead = false;
    QElapsedTimer m_sinceCatchUp;
};
