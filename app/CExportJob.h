// Runs one `corvane --export` render in a child process, so the window stays responsive and
// the live sound keeps playing; reports its progress and how it ended.
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

class CExportJob : public QObject {
    Q_OBJECT

public:
    explicit CExportJob(QObject* parent = nullptr);
    ~CExportJob() override; // a render still running is cancelled

    // Starts `program` with `arguments` (an export's options, without the program name).
    void Start(const QString& program, const QStringList& arguments);
    // Stops the render; the export then leaves no file behind.
    void Cancel();
    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }

    // The percentage in one line of the export's progress bar ("[###---]  50%  ..."), or -1.
    static int PercentOf(const QString& barLine);

signals:
    void Progress(int percent);
    // ok: the file is written. Otherwise `message` says why (empty when cancelled).
    void Finished(bool ok, bool cancelled, const QString& message);

private:
    void ReadStandardError();
    void OnFinished(int exitCode, QProcess::ExitStatus status);

    QProcess m_process;
    QString m_strPending;  // stderr text not yet ended by a line break or carriage return
    QStringList m_messages; // the export's own lines ("corvane: ...")
    bool m_bCancelled = false;
};
