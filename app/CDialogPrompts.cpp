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

void CDialogPrompts::ShowError(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}
} // namespace corvane
