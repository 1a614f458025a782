#include "dialogs/NotesDialog.h"

#include "dialogs/common/Accessibility.h"
#include "dialogs/common/QtText.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ambrin {

NotesDialog::NotesDialog(const std::string& notes, QWidget* parent)
    : DialogBase(parent), edit_(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Notes"));
    setObjectName("notesDialog");
    edit_->setObjectName("notesEdit");
    notes_.Load(edit_, notes);
    edit_->setTabChangesFocus(true);
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Describe(edit_, QStringLiteral("Notes"), QStringLiteral("Enter confirms; Ctrl+Enter starts a new line"));
    edit_->installEventFilter(this);

    QDialogButtonBox* buttons =
        OkCancelButtons(QStringLiteral("Keep these notes"), QStringLiteral("Leave the notes as they were"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    resize(360, 190);

    // After Qt's own focus handling: caret at the end, nothing selected.
    edit_->setFocus();
    QTimer::singleShot(0, edit_, [this] {
        edit_->moveCursor(QTextCursor::End);
        edit_->ensureCursorVisible();
    });
}

std::string NotesDialog::Notes() const
{
    return notes_.Bytes(edit_);
}

bool NotesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress &&
        HandleNotesEnter(edit_, static_cast<QKeyEvent*>(event), [this] { accept(); })) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ambrin
