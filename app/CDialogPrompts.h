// The file commands' questions and messages as the desktop's file dialogs and message boxes.
#pragma once

#include "app/IDocumentPrompts.h"

namespace corvane {
class CDialogPrompts final : public IDocumentPrompts {
public:
    QString AskOpenFileName(QWidget* parent, const QString& filter) override;
    QString AskSaveFileName(QWidget* parent, const QString& proposed, const QString& filter,
                            const QString& defaultSuffix) override;
    SaveChoice AskSaveChanges(QWidget* parent, const QString& name) override;
    void ShowError(QWidget* parent, const QString& title, const QString& text) override;
};
} // namespace corvane
