// The document: the sound under a file name, its file, and its modified state.
#include "app/CCorvaneDoc.h"

#include "app/IDocumentPrompts.h"
#include "app/export/CSoundFile.h"

#include <QDir>
#include <QFileInfo>

namespace corvane {
const QString CCorvaneDoc::kFilter = QString::fromLatin1(CSoundFile::kFilter);
const QString CCorvaneDoc::kExtension = QString::fromLatin1(CSoundFile::kSuffix);
const QString CCorvaneDoc::kUntitledTitle = QStringLiteral("Untitled");

CCorvaneDoc::CCorvaneDoc(IDocumentPrompts& prompts, QWidget* parent)
    : m_prompts(prompts), m_pDialogParent(parent), m_strTitle(kUntitledTitle)
{
}

bool CCorvaneDoc::OnNewDocument()
{
    m_strPathName.clear();
    m_strTitle = kUntitledTitle;
    m_sound = CExportOptions();
    m_warnings.clear();
    m_bModified = false;
    ShowTitle();
    return true;
}

bool CCorvaneDoc::OnOpenDocument(const QString& path, QString* error)
{
    CExportOptions sound;
    QStringList warnings;
    QString problem;
    if (!CSoundFile::Load(path, &sound, &warnings, &problem)) {
        if (error)
            *error = problem;
        return false;
    }
    m_sound = sound;
    m_warnings = warnings;
    m_bModified = false;
    SetPathName(path);
    return true;
}

bool CCorvaneDoc::OnSaveDocument(const QString& path, QString* error)
{
    QString problem;
    if (!CSoundFile::Save(path, m_soundSource ? m_soundSource() : CExportOptions(), &problem)) {
        if (error)
            *error = problem;
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
    m_bModified = false;
    SetPathName(target);
    return true;
}

bool CCorvaneDoc::SaveModified()
{
    if (!m_bModified)
        return true;
    switch (m_prompts.AskSaveChanges(m_pDialogParent, m_strTitle)) {
    case IDocumentPrompts::SaveChoice::Save:
        return DoFileSave();
    case IDocumentPrompts::SaveChoice::Discard:
        return true;
    case IDocumentPrompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

void CCorvaneDoc::SetModifiedFlag(bool modified)
{
    if (modified == m_bModified)
        return;
    m_bModified = modified;
    ShowTitle();
}

void CCorvaneDoc::SetPathName(const QString& path)
{
    m_strPathName = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_strTitle = QFileInfo(m_strPathName).fileName();
    ShowTitle();
    emit PathNameSet(m_strPathName);
}

void CCorvaneDoc::ShowTitle()
{
    emit TitleChanged(m_bModified ? m_strTitle + QLatin1Char('*') : m_strTitle);
}
} // namespace corvane
