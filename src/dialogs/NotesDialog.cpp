#include "dialogs/NotesDialog.h"

#include "app/Accessibility.h"
#include "app/Help.h"
#include "app/QtText.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ambrin {

QString NotesToEditText(const std::string& notes)
{
    QString text = ToQString(notes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string EditTextToNotes(const QString& text)
{
    QString notes = text;
    notes.replace(QChar('\n'), QStringLiteral("\r\n"));
    return ToBytes(notes);
}

NotesDialog::NotesDialog(const std::string& notes, QWidget* parent)
    : HelpDialog(parent), original_(notes), edit_(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Notes"));
    setObjectName("notesDialog");
    edit_->setObjectName("notesEdit");
    edit_->setPlainText(NotesToEditText(notes));
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
    const QString text = edit_->toPlainText();
    return text == NotesToEditText(original_) ? original_ : EditTextToNotes(text);
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
