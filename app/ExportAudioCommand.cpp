// The window's export: the dialog's choices and the panel's sound become one export command.
#include "app/ExportAudioCommand.h"

#include "app/CExportAudioDialog.h"
#include "app/CExportJob.h"
#include "app/export/CSoundFile.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryFile>

namespace corvane {

QStringList ExportAudioArguments(const CExportOptions& sound, const QStringList& choices, QTemporaryFile& soundFile,
                                 QString* pError)
{
    const QByteArray text = CSoundFile::Text(sound);
    if (!soundFile.isOpen() || soundFile.write(text) != text.size() || !soundFile.flush()) {
        *pError = QStringLiteral("Cannot write the sound for the export to %1: %2")
                      .arg(soundFile.fileName(), soundFile.errorString());
        return {};
    }
    return choices + QStringList{QStringLiteral("--sound"), soundFile.fileName()};
}

void RunExportAudio(QWidget* parent, const CExportOptions& sound, const QString& program)
{
    CExportAudioDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString title = QStringLiteral("Export Audio");
    QTemporaryFile soundFile(QDir::temp().filePath(QStringLiteral("corvane-export-XXXXXX.corvane")));
    soundFile.open();
    QString error;
    const QStringList args = ExportAudioArguments(sound, dialog.ExportArguments(), soundFile, &error);
    if (args.isEmpty()) {
        QMessageBox::warning(parent, title, error);
        return;
    }

    QProgressDialog progress(QStringLiteral("Exporting %1...").arg(QFileInfo(dialog.FileName()).fileName()),
                             QStringLiteral("Cancel"), 0, 100, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    CExportJob job;
    QEventLoop loop;
    bool ok = false, cancelled = false, finished = false;
    QObject::connect(&job, &CExportJob::Progress, &progress, &QProgressDialog::setValue);
    QObject::connect(&progress, &QProgressDialog::canceled, &job, &CExportJob::Cancel);
    QObject::connect(&job, &CExportJob::Finished, &loop,
                     [&](bool done, bool stopped, const QString& message) {
                         ok = done;
                         cancelled = stopped;
                         error = message;
                         finished = true;
                         loop.quit();
                     });
    job.Start(program, args);
    // The application's timer keeps the live sound ticking while this loop runs.
    if (!finished)
        loop.exec();
    progress.close();
    if (!ok && !cancelled)
        QMessageBox::warning(parent, title, QStringLiteral("The export failed.\n\n%1").arg(error));
}

} // namespace corvane
