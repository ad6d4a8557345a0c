// The About box: icon, product line, version, a line about the program, OK.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace corvane {
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The dialog's layout is given in dialog units of an 8-point dialog font at 96 dpi.
    static QRect DialogUnitsToPixels(int x, int y, int width, int height);

    QLabel* IconLabel() const { return m_pIcon; }
    QLabel* ProductLine() const { return m_pProduct; }
    QLabel* VersionLine() const { return m_pVersion; }
    QLabel* AboutLine() const { return m_pAbout; }
    QPushButton* OkButton() const { return m_pOk; }

private:
    QLabel* m_pIcon;
    QLabel* m_pProduct;
    QLabel* m_pAbout;
    QPushButton* m_pOk;
    QLabel* m_pVersion;
};
} // namespace corvane
