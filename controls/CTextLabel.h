// Static text with its own painting: colours or gradient, font options, emboss, rotation, flashing, link.
#pragma once

#include "controls/StaticStyles.h"
#include "platform/wintypes.h"

#include <QBasicTimer>
#include <QCursor>
#include <QFont>
#include <QFrame>
#include <QString>

#include <functional>
#include <optional>

// Every setter returns the label so that calls chain:
//     label.SetBkColor(RGB(102, 102, 153)).SetTextColor(RGB(230, 230, 230)).SetFontBold(TRUE);
// Without colour calls it paints the dialog face with window-text-coloured text in the
// font it inherits from its parent. The layout follows the style bits of a Win32 static
// (corvane::controls::SS_CENTER, SS_RIGHT, SS_LEFTNOWORDWRAP, SS_CENTERIMAGE); clicks are
// taken only with SS_NOTIFY (see SetLink).
class CTextLabel : public QFrame
{
    Q_OBJECT

public:
    // Opens a label's text (a URL or a path) on the desktop; returns whether it did.
    using ShellOpener = std::function<bool(const QString& text)>;

    explicit CTextLabel(QWidget* parent = nullptr);
    explicit CTextLabel(const QString& text, QWidget* parent = nullptr);

    // Solid background crBack, or with bGradient a left-to-right gradient from crBack to
    // crGradientEnd in at most 100 bands.
    virtual CTextLabel& SetBkColor(COLORREF crBack, COLORREF crGradientEnd = 0, BOOL bGradient = FALSE);
    virtual CTextLabel& SetTextColor(COLORREF crText);
    virtual CTextLabel& SetText(const QString& text);
    virtual CTextLabel& SetFontBold(BOOL bBold);
    // Face name (at most 31 characters are kept); the character set is accepted for
    // compatibility and not needed by Qt.
    virtual CTextLabel& SetFontName(const QString& name, BYTE nCharSet = 0);
    virtual CTextLabel& SetFontUnderline(BOOL bUnderline);
    virtual CTextLabel& SetFontItalic(BOOL bItalic);
    // Size in points.
    virtual CTextLabel& SetFontSize(int nPoints);
    virtual CTextLabel& SetSunken(BOOL bSunken);
    virtual CTextLabel& SetBorder(BOOL bBorder);
    // No background at all: the parent shows through.
    virtual CTextLabel& SetTransparent(BOOL bTransparent);
    // Toggles a phase every 500 ms; in phase 0 the text takes the solid background colour
    // (black without one), so it disappears on a solid background.
    virtual CTextLabel& FlashText(BOOL bActivate);
    // Runs the same 500 ms phase timer; the picture does not change with it.
    virtual CTextLabel& FlashBackground(BOOL bActivate);
    // bLink: the label takes clicks (SS_NOTIFY). A left click then emits notify(id, 0x8200)
    // when bNotifyParent, otherwise opens the text on the desktop.
    virtual CTextLabel& SetLink(BOOL bLink, BOOL bNotifyParent);
    // Cursor shown over a link label; nullptr for none.
    virtual CTextLabel& SetLinkCursor(const QCursor* pCursor);
    // A second copy of the text in the emboss colour, offset +1,+1 (raised) or -1,-1.
    virtual CTextLabel& SetEmboss(BOOL bOn, BOOL bRaised);
    // Degrees counter-clockwise; with bRotate the text is drawn centred on the label's middle.
    virtual CTextLabel& SetRotationAngle(int nDegrees, BOOL bRotate);
    virtual CTextLabel& SetEmbossColor(COLORREF crEmboss);

    // Size factor of the panel (1.0 = the dialog template's size): a font size set here is
    // drawn that much larger (the rest of the font comes from the parent, which the panel
    // enlarges itself), and so is the emboss offset.
    void SetZoom(double zoom);
    double GetZoom() const { return m_fZoom; }

    // Style bits of the static (SS_* from controls/StaticStyles.h); default SS_LEFT.
    void SetStyle(DWORD style);
    void ModifyStyle(DWORD remove, DWORD add);
    DWORD GetStyle() const { return m_dwStyle; }
    void SetDlgCtrlID(int id) { m_nId = id; }
    int GetDlgCtrlID() const { return m_nId; }
    QString GetText() const { return m_strText; }
    COLORREF GetTextColor() const { return m_crText; }
    int GetBlinkPhase() const { return m_nBlinkPhase; }
    int GetFlashMode() const { return m_nFlashMode; }
    // The font the text is drawn with.
    QFont GetFont() const { return m_font; }

    // Replaces how link texts are opened (tests, sandboxes); returns the previous opener. An
    // empty function restores the desktop's.
    static ShellOpener SetShellOpener(ShellOpener opener);

    static constexpr int kLinkNotifyCode = 0x8200;

    QSize sizeHint() const override;

signals:
    // The link notification: control identifier and code kLinkNotifyCode, sent at once.
    void notify(int nId, int nCode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RebuildFont();
    void RedrawWithParent();
    void UpdateCursor();
    void UpdateFrame();
    void PaintContent(QPainter& dc, const QRect& r);

    COLORREF m_crText;
    COLORREF m_crEmboss = 0xFFFFFF;
    COLORREF m_crDefaultBack;             // dialog face, follows palette changes
    std::optional<COLORREF> m_crBrushBack; // solid background set by SetBkColor
    QFont m_lf;                           // only what was set here; the rest is inherited
    QFont m_font;
    int m_nBlinkPhase = 0;
    BOOL m_bTimerSet = 0;
    BOOL m_bTransparent = 0;
    BOOL m_bEmboss = 0;
    BOOL m_bNotifyParent = 0;
    BOOL m_bRotate = 0;
    int m_nFlashMode = 0;
    std::optional<QCursor> m_linkCursor;
    BOOL m_bEmbossRaised = 0;
    BOOL m_bGradient = 0;
    COLORREF m_crGradientEnd = 0;
    COLORREF m_crBack = 0;
    int m_nEscapement = 0; // tenths of a degree
    BOOL m_bSunken = 0;
    BOOL m_bBorder = 0;
    DWORD m_dwStyle = corvane::controls::SS_LEFT;
    int m_nId = 0;
    QString m_strText;
    QBasicTimer m_flashTimer;
    double m_fZoom = 1.0;
};
