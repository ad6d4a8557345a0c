// Answers the file commands' questions from the test and records the messages shown.
#pragma once

#include "app/IDocumentPrompts.h"

#include <QStringList>

namespace corvane::test {
struct CFakePrompts final : IDocumentPrompts {
    QString AskOpenFileName(QWidget*, const QString&) override
    {
        ++questions;
        return openAnswer;
    }
    QString AskSaveFileName(QWidget*, const QString& proposedName, const QString&, const QString&) override
    {
        proposed = proposedName;
        ++questions;
        return saveAnswer;
    }
    SaveChoice AskSaveChanges(QWidget*, const QString& name) override
    {
        saveChangesAsked << name;
        return saveChoice;
    }
    void ShowError(QWidget*, const QString& title, const QString& text) override { errors.append(title + ": " + text); }

    QString openAnswer, saveAnswer, proposed;
    int questions = 0;
    QStringList errors, saveChangesAsked;
    SaveChoice saveChoice = SaveChoice::Discard;
};
} // namespace corvane::test
