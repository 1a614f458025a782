#include "dialogs/common/DialogBase.h"

#include "dialogs/common/Accessibility.h"
#include "dialogs/common/Help.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace ambrin {

void DialogBase::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ShowHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

QDialogButtonBox* DialogBase::OkCancelButtons(const QString& okDescription,
                                              const QString& cancelDescription)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    ok->setDefault(true);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    Describe(ok, {}, okDescription);
    Describe(cancel, {}, cancelDescription);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
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
