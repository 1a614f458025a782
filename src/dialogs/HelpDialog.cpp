#include "dialogs/HelpDialog.h"

#include "app/Help.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace ambrin {

void HelpDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ShowHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool HandleNotesEnter(QPlainTextEdit* edit, QKeyEvent* key, const std::function<void()>& confirm)
{
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & Qt::ControlModifier) {
        edit->insertPlainText(QStringLiteral("\n"));
    } else {
        confirm();
    }
    return true;
}

}  // namespace ambrin
