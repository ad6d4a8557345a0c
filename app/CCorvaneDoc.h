// The document: holds no data, since the sound lives only in the panel; only a name and a path.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace corvane {
class IDocumentPrompts;

class CCorvaneDoc : public QObject {
    Q_OBJECT
public:
    static const QString kFilter;        // "Wave Files (*.wav)"
    static const QString kExtension;     // "wav"
    static const QString kUntitledTitle; // title of a document that has no file yet

    // `prompts` answers Save As and shows failures; `parent` is the dialogs' window.
    CCorvaneDoc(IDocumentPrompts& prompts, QWidget* parent = nullptr);

    // Resets to an untitled document. Always succeeds: there is nothing to clear.
    bool OnNewDocument();
    // Takes the file's name without reading anything; fails, with `error` set, when the file
    // cannot be opened for reading.
    bool OnOpenDocument(const QString& path, QString* error = nullptr);
    // Writes an empty file; fails, with `error` set, when it cannot be written.
    bool OnSaveDocument(const QString& path, QString* error = nullptr);

    // The File menu's Save and Save As. A failure is reported to the user and returns false;
    // cancelling the file dialog returns false silently.
    bool DoFileSave();
    bool DoSave(const QString& path, bool askForName);

    QString GetTitle() const { return m_strTitle; }
    QString GetPathName() const { return m_strPathName; }
    // Nothing is ever changed, so closing never asks to save.
    bool IsModified() const { return false; }

    // Checks that a file can be opened for reading; returns an explanation when not.
    static QString CheckReadable(const QString& path);

signals:
    void TitleChanged(const QString& title);
    // The document was opened from or saved to this file (for the recent-file list).
    void PathNameSet(const QString& path);

private:
    void SetPathName(const QString& path);

    IDocumentPrompts& m_prompts;
    QWidget* m_pDialogParent;
    QString m_strTitle;
    QString m_strPathName;
};
} // namespace corvane
