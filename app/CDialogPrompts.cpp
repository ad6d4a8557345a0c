// The file commands' questions and messages as the desktop's file dialogs and message boxes.
#include "app/CDialogPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace corvane {
QString CDialogPrompts::AskOpenFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(), filter);
}

QString CDialogPrompts::AskSaveFileName(QWidget* parent, const QString& proposed,
                                        const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, QStringLiteral("Save As"), proposed, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

IDocumentPrompts::SaveChoice CDialogPrompts::AskSaveChanges(QWidget* parent, const QString& name)
{
    const QMessageBox::StandardButton answer = QMessageBox::question(
        parent, QStringLiteral("Corvane"), QStringLiteral("Save changes to %1?").arg(name),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return SaveChoice::Save;
    return answer == QMessageBox::Discard ? SaveChoice::Discard : SaveChoice::Cancel;
}

void CDialogPrompts::ShowError(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}
} // namespace corvane
