// The questions and messages of the file commands; tests answer them without dialogs.
#pragma once

#include <QString>

class QWidget;

namespace corvane {
class IDocumentPrompts {
public:
    virtual ~IDocumentPrompts() = default;
    // An existing file to open, or empty when the user cancels.
    virtual QString AskOpenFileName(QWidget* parent, const QString& filter) = 0;
    // A file name to save under, starting from `proposed`, or empty when the user cancels.
    virtual QString AskSaveFileName(QWidget* parent, const QString& proposed,
                                    const QString& filter, const QString& defaultSuffix) = 0;
    enum class SaveChoice { Save, Discard, Cancel };
    // "Save changes to NAME?" before a modified document is closed.
    virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& name) = 0;
    // A failure the user must know about.
    virtual void ShowError(QWidget* parent, const QString& title, const QString& text) = 0;
};
} // namespace corvane
