#include "dialogs/ProjectListDialog.h"

#include "dialogs/common/Accessibility.h"
#include "dialogs/common/QtText.h"
#include "storage/ProjectList.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <sstream>

namespace ambrin {

ProjectListDialog::ProjectListDialog(const std::string& text, QWidget* parent)
    : DialogBase(parent), original_(text), edit_(new QPlainTextEdit(this))
{
    setObjectName("projectListDialog");
    setWindowTitle(QStringLiteral("Edit Project List"));
    auto* label = new QLabel(QStringLiteral("Enter one project name per line:"), this);
    label->setBuddy(edit_);
    edit_->setObjectName("projectListEdit");
    Describe(edit_, QStringLiteral("Project names"), QStringLiteral("One project name per line"));
    edit_->setTabChangesFocus(true);
    edit_->setPlainText(ToEditText(text));

    // OK takes Enter outside the edit; inside it Enter starts a new line.
    QDialogButtonBox* buttons = OkCancelButtons(QStringLiteral("Replace the project list with these names"),
                                                QStringLiteral("Leave the project list as it was"));
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edit_, 1);
    layout->addWidget(buttons);
    resize(380, 420);

    // The caret at the end, nothing selected.
    edit_->setFocus();
    edit_->moveCursor(QTextCursor::End);
}

std::string ProjectListDialog::Text() const
{
    return EditedMultiLineBytes(original_, edit_->toPlainText());
}

void ProjectListDialog::EditList(ProjectList& list, QWidget* parent)
{
    std::string text;
    for (std::uint32_t i = 0; i < list.Count(); ++i) text += list.At(i) + "\r\n";
    ProjectListDialog dialog(text, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    std::istringstream in(dialog.Text());
    list.ReadList(in);
}

}  // namespace ambrin
