#pragma once

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QKeyEvent;
class QPlainTextEdit;

namespace ambrin {

// What the program's dialogs share: F1 opens help in each of them, and OK and Cancel are
// made alike.
class DialogBase : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // OK (the default button) and Cancel, described for screen readers, wired to accept and
    // reject, with the object names tests look for.
    QDialogButtonBox* OkCancelButtons(const QString& okDescription, const QString& cancelDescription);
};

// Enter in a notes box confirms (confirm is called), Ctrl+Enter breaks the line; true when
// the key was one of those and has been handled.
bool HandleNotesEnter(QPlainTextEdit* edit, QKeyEvent* key, const std::function<void()>& confirm);

}  // namespace ambrin
