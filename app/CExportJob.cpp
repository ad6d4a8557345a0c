// Child-process export: progress from the bar the export draws, messages from its stderr.
#include "app/CExportJob.h"

#include <QProcessEnvironment>
#include <QRegularExpression>

CExportJob::CExportJob(QObject* parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyReadStandardError, this, &CExportJob::ReadStandardError);
    connect(&m_process, &QProcess::finished, this, &CExportJob::OnFinished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit Finished(false, false, QStringLiteral("Cannot start %1: %2").arg(m_process.program(), m_process.errorString()));
    });
}

CExportJob::~CExportJob()
{
    if (IsRunning()) {
        Cancel();
        m_process.waitForFinished(5000);
    }
}

void CExportJob::Start(const QString& program, const QStringList& arguments)
{
    m_strPending.clear();
    m_messages.clear();
    m_bCancelled = false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_PROGRESS"), QStringLiteral("1")); // draw the bar into the pipe
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(environment);
    m_process.start(program, arguments);
}

void CExportJob::Cancel()
{
    if (!IsRunning())
        return;
    m_bCancelled = true;
    // A termination request lets the export remove its unfinished file.
    m_process.terminate();
}

int CExportJob::PercentOf(const QString& barLine)
{
    static const QRegularExpression kBar(QStringLiteral("^\\[[#-]+\\]\\s*(\\d{1,3})%"));
    const QRegularExpressionMatch match = kBar.match(barLine);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

void CExportJob::ReadStandardError()
{
    m_strPending += QString::fromLocal8Bit(m_process.readAllStandardError());
    // The bar redraws itself after a carriage return; messages end with a line break.
    static const QRegularExpression kBreak(QStringLiteral("[\r\n]"));
    qsizetype end = 0;
    while ((end = m_strPending.indexOf(kBreak)) >= 0) {
        const QString line = m_strPending.left(end).trimmed();
        m_strPending.remove(0, end + 1);
        const int percent = PercentOf(line);
        if (percent >= 0)
            emit Progress(percent);
        else if (!line.isEmpty())
            m_messages << line;
    }
}

void CExportJob::OnFinished(int exitCode, QProcess::ExitStatus status)
{
    ReadStandardError();
    if (!m_strPending.trimmed().isEmpty() && PercentOf(m_strPending.trimmed()) < 0)
        m_messages << m_strPending.trimmed();
    m_strPending.clear();
    if (m_bCancelled) {
        emit Finished(false, true, QString());
        return;
    }
    if (status == QProcess::NormalExit && exitCode == 0) {
        emit Finished(true, false, QString());
        return;
    }
    // The export's own words say best what went wrong; notes before them are kept too.
    QString message = m_messages.join(QLatin1Char('\n'));
    if (message.isEmpty())
        message = status == QProcess::CrashExit ? QStringLiteral("The export stopped unexpectedly.")
                                                : QStringLiteral("The export failed (exit code %1).").arg(exitCode);
    emit Finished(false, false, message);
}
