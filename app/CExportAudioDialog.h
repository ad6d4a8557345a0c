// File > Export Audio...: where to, how long and at what rate the panel's sound is rendered.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QTimeEdit;

class CExportAudioDialog : public QDialog {
    Q_OBJECT

public:
    explicit CExportAudioDialog(QWidget* parent = nullptr);

    // File name; its extension picks the type: .wav (16-bit PCM), .flac or .ogg.
    void SetFileName(const QString& fileName);
    QString FileName() const;
    void SetSeconds(int seconds); // shown as h:mm:ss, 1 s .. 23:59:59
    int Seconds() const;
    void SetRate(int rate);       // one of Rates()
    int Rate() const;
    static QList<int> Rates();
    // Seconds rising from silence at the start and falling to it at the end; together at most the length.
    void SetFades(double fadeIn, double fadeOut);
    double FadeIn() const;
    double FadeOut() const;

    // The export options for these choices: --export FILE --seconds N --rate HZ, and the fades that are set.
    QStringList ExportArguments() const;
    // What is wrong with the choices, or empty when they can be rendered.
    QString Problem() const;

    void accept() override; // refuses, with a message, choices that cannot be rendered

private:
    void Browse();

    QLineEdit* m_pFile;
    QTimeEdit* m_pLength;
    QComboBox* m_pRate;
    QDoubleSpinBox* m_pFadeIn;
    QDoubleSpinBox* m_pFadeOut;
};
