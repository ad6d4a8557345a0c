// The document: the panel's sound under a file name, saved as a .corvane sound file, and
// whether the user changed it since it was opened or saved.
#pragma once

#include "app/export/CExportOptions.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace corvane {
class IDocumentPrompts;

class CCorvaneDoc : public QObject {
    Q_OBJECT
public:
    static const QString kFilter;        // "Corvane Sounds (*.corvane);;All Files (*)"
    static const QString kExtension;     // "corvane"
    static const QString kUntitledTitle; // title of a document that has no file yet

    // `prompts` answers Save As and shows failures; `parent` is the dialogs' window.
    CCorvaneDoc(IDocumentPrompts& prompts, QWidget* parent = nullptr);

    // Where Save takes the sound from (the panel); without one, the start-up sound is saved.
    void SetSoundSource(std::function<CExportOptions()> source) { m_soundSource = std::move(source); }

    // Resets to an untitled, unmodified document. Always succeeds.
    bool OnNewDocument();
    // Reads the sound file and takes its name; the sound is then Sound(). Fails, with `error`
    // naming the file, line and key, and the document as it was, when the file is refused.
    bool OnOpenDocument(const QString& path, QString* error = nullptr);
    // Writes the source's sound atomically; fails, with `error` set, when it cannot be written.
    bool OnSaveDocument(const QString& path, QString* error = nullptr);

    // The File menu's Save and Save As. A failure is reported to the user and returns false;
    // cancelling the file dialog returns false silently.
    bool DoFileSave();
    bool DoSave(const QString& path, bool askForName);
    // Before the document is closed: asks "Save changes to NAME?" when it is modified. False
    // when the user cancels or the save fails; the document must then stay.
    bool SaveModified();

    QString GetTitle() const { return m_strTitle; }
    QString GetPathName() const { return m_strPathName; }
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified);
    // The sound read by the last open (empty for a new document), and what its reader noted.
    const CExportOptions& Sound() const { return m_sound; }
    const QStringList& Warnings() const { return m_warnings; }

signals:
    // The window's document title: the name, with an asterisk while modified.
    void TitleChanged(const QString& title);
    // The document was opened from or saved to this file (for the recent-file list).
    void PathNameSet(const QString& path);

private:
    void SetPathName(const QString& path);
    void ShowTitle();

    IDocumentPrompts& m_prompts;
    QWidget* m_pDialogParent;
    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
    CExportOptions m_sound;
    QStringList m_warnings;
    std::function<CExportOptions()> m_soundSource;
};
} // namespace corvane
