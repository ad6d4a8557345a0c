// The export dialog: a form of five rows, checked before it closes.
#include "app/CExportAudioDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimeEdit>

namespace {
const QStringList kSuffixes = {QStringLiteral("wav"), QStringLiteral("flac"), QStringLiteral("ogg")};
} // namespace

CExportAudioDialog::CExportAudioDialog(QWidget* parent)
    : QDialog(parent), m_pFile(new QLineEdit(this)), m_pLength(new QTimeEdit(this)), m_pRate(new QComboBox(this)),
      m_pFadeIn(new QDoubleSpinBox(this)), m_pFadeOut(new QDoubleSpinBox(this))
{
    setWindowTitle(QStringLiteral("Export Audio"));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    connect(browse, &QPushButton::clicked, this, &CExportAudioDialog::Browse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_pFile, 1);
    fileRow->addWidget(browse);

    m_pLength->setDisplayFormat(QStringLiteral("H:mm:ss"));
    m_pLength->setMinimumTime(QTime(0, 0, 1));
    m_pLength->setMaximumTime(QTime(23, 59, 59));
    m_pLength->setCurrentSection(QDateTimeEdit::MinuteSection);
    for (int rate : Rates())
        m_pRate->addItem(QStringLiteral("%1 Hz").arg(rate), rate);
    for (QDoubleSpinBox* fade : {m_pFadeIn, m_pFadeOut}) {
        fade->setRange(0.0, 24 * 3600.0);
        fade->setDecimals(1);
        fade->setSuffix(QStringLiteral(" s"));
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&File:"), fileRow);
    form->addRow(QStringLiteral("&Length (h:mm:ss):"), m_pLength);
    form->addRow(QStringLiteral("Sample &rate:"), m_pRate);
    form->addRow(QStringLiteral("Fade &in:"), m_pFadeIn);
    form->addRow(QStringLiteral("Fade &out:"), m_pFadeOut);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    SetFileName(QDir::home().filePath(QStringLiteral("corvane.flac")));
    SetSeconds(600);
    SetRate(44100);
}

QList<int> CExportAudioDialog::Rates()
{
    return {22050, 32000, 44100, 48000, 88200, 96000};
}

void CExportAudioDialog::SetFileName(const QString& fileName)
{
    m_pFile->setText(fileName);
}

QString CExportAudioDialog::FileName() const
{
    return m_pFile->text().trimmed();
}

void CExportAudioDialog::SetSeconds(int seconds)
{
    m_pLength->setTime(QTime(0, 0).addSecs(seconds));
}

int CExportAudioDialog::Seconds() const
{
    return QTime(0, 0).secsTo(m_pLength->time());
}

void CExportAudioDialog::SetRate(int rate)
{
    const int index = m_pRate->findData(rate);
    if (index >= 0)
        m_pRate->setCurrentIndex(index);
}

int CExportAudioDialog::Rate() const
{
    return m_pRate->currentData().toInt();
}

void CExportAudioDialog::SetFades(double fadeIn, double fadeOut)
{
    m_pFadeIn->setValue(fadeIn);
    m_pFadeOut->setValue(fadeOut);
}

double CExportAudioDialog::FadeIn() const
{
    return m_pFadeIn->value();
}

double CExportAudioDialog::FadeOut() const
{
    return m_pFadeOut->value();
}

QStringList CExportAudioDialog::ExportArguments() const
{
    QStringList args{QStringLiteral("--export"), FileName(), QStringLiteral("--seconds"), QString::number(Seconds()),
                     QStringLiteral("--rate"), QString::number(Rate())};
    if (FadeIn() > 0.0)
        args << QStringLiteral("--fade-in") << QString::number(FadeIn());
    if (FadeOut() > 0.0)
        args << QStringLiteral("--fade-out") << QString::number(FadeOut());
    return args;
}

QString CExportAudioDialog::Problem() const
{
    const QString file = FileName();
    if (file.isEmpty())
        return QStringLiteral("Please give a file name.");
    if (!kSuffixes.contains(QFileInfo(file).suffix().toLower()))
        return QStringLiteral("\"%1\" does not end in .wav, .flac or .ogg, which give the file's type.").arg(file);
    const QFileInfo folder(QFileInfo(file).absolutePath());
    if (!folder.isDir())
        return QStringLiteral("The folder \"%1\" does not exist.").arg(folder.filePath());
    if (Seconds() < 1)
        return QStringLiteral("Please give a length of at least one second.");
    if (FadeIn() + FadeOut() > Seconds())
        return QStringLiteral("The fades (%1 s in, %2 s out) are longer together than the export's %3 s.")
            .arg(FadeIn()).arg(FadeOut()).arg(Seconds());
    return {};
}

void CExportAudioDialog::accept()
{
    const QString problem = Problem();
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }
    QDialog::accept();
}

void CExportAudioDialog::Browse()
{
    const QString chosen = QFileDialog::getSaveFileName(
        this, windowTitle(), FileName(),
        QStringLiteral("FLAC (*.flac);;WAV 16-bit (*.wav);;Ogg Vorbis (*.ogg)"));
    if (!chosen.isEmpty())
        SetFileName(chosen);
}
