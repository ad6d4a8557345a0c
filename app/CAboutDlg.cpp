// The About box: icon, product line, version, a line about the program, OK.
#include "app/CAboutDlg.h"

#include "res/DialogTemplate.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace corvane {
QRect CAboutDlg::DialogUnitsToPixels(int x, int y, int width, int height)
{
    using corvane::res::DluToPixelsX;
    using corvane::res::DluToPixelsY;
    return QRect(DluToPixelsX(x), DluToPixelsY(y), DluToPixelsX(width), DluToPixelsY(height));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Corvane"));
    setModal(true);
    setFixedSize(DialogUnitsToPixels(0, 0, 242, 90).size());

    // Created in template order, which is also the tab order.
    m_pIcon = new QLabel(this);
    m_pIcon->setGeometry(DialogUnitsToPixels(11, 17, 20, 20));
    const int side = m_pIcon->width();
    m_pIcon->setPixmap(QApplication::windowIcon().pixmap(side, side));
    m_pIcon->setAlignment(Qt::AlignCenter);

    const auto line = [this](const QString& text, const QRect& where) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(where);
        // A desktop font larger than the template's 8 points must not clip the line.
        label->resize(where.width(), std::max(where.height(), label->sizeHint().height()));
        return label;
    };
    m_pProduct = line(QStringLiteral("Corvane - CV 01 - Ambience Synthesizer"),
                      DialogUnitsToPixels(40, 10, 195, 8));
    m_pAbout = line(QStringLiteral("Noise, filter and LFOs, shaped while it plays."),
                    DialogUnitsToPixels(40, 40, 195, 8));
    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setGeometry(DialogUnitsToPixels(185, 60, 50, 14));
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
    m_pVersion = line(QStringLiteral("Version 07.02.MFC"), DialogUnitsToPixels(40, 25, 195, 8));
}
} // namespace corvane
