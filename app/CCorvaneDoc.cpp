// The document: holds no data, since the sound lives only in the panel; only a name and a path.
#include "app/CCorvaneDoc.h"

#include "app/IDocumentPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace corvane {
const QString CCorvaneDoc::kFilter = QStringLiteral("Wave Files (*.wav)");
const QString CCorvaneDoc::kExtension = QStringLiteral("wav");
const QString CCorvaneDoc::kUntitledTitle = QStringLiteral("Untitled");

CCorvaneDoc::CCorvaneDoc(IDocumentPrompts& prompts, QWidget* parent)
    : m_prompts(prompts), m_pDialogParent(parent), m_strTitle(kUntitledTitle)
{
}

bool CCorvaneDoc::OnNewDocument()
{
    m_strPathName.clear();
    m_strTitle = kUntitledTitle;
    emit TitleChanged(m_strTitle);
    return true;
}

QString CCorvaneDoc::CheckReadable(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("%1 is a folder, not a file.").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open %1: %2.").arg(path, file.errorString());
    return {};
}

bool CCorvaneDoc::OnOpenDocument(const QString& path, QString* error)
{
    const QString problem = CheckReadable(path);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    // The file is not read: the document carries no data.
    SetPathName(path);
    return true;
}

bool CCorvaneDoc::OnSaveDocument(const QString& path, QString* error)
{
    // Written through a temporary file so that a failed save never leaves a truncated file.
    QSaveFile file(path);
    // An existing writable file in a folder that takes no new files can still be saved.
    file.setDirectWriteFallback(true);
    const bool written = file.open(QIODevice::WriteOnly) && file.commit();
    if (!written) {
        if (error)
            *error = QStringLiteral("Cannot save %1: %2.").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool CCorvaneDoc::DoFileSave()
{
    return DoSave(m_strPathName, m_strPathName.isEmpty());
}

bool CCorvaneDoc::DoSave(const QString& path, bool askForName)
{
    QString target = path;
    if (askForName || target.isEmpty()) {
        const QString proposed =
            m_strPathName.isEmpty() ? m_strTitle + QLatin1Char('.') + kExtension : m_strPathName;
        target = m_prompts.AskSaveFileName(m_pDialogParent, proposed, kFilter, kExtension);
        if (target.isEmpty())
            return false;
    }
    QString error;
    if (!OnSaveDocument(target, &error)) {
        m_prompts.ShowError(m_pDialogParent, QStringLiteral("Corvane"), error);
        return false;
    }
    SetPathName(target);
    return true;
}

void CCorvaneDoc::SetPathName(const QString& path)
{
    m_strPathName = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_strTitle = QFileInfo(m_strPathName).fileName();
    emit TitleChanged(m_strTitle);
    emit PathNameSet(m_strPathName);
}
} // namespace corvane
