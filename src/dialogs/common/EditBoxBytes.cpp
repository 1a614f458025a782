#include "dialogs/common/EditBoxBytes.h"

#include "dialogs/common/QtText.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace ambrin {

QString EditBoxText(const QPlainTextEdit* box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void EditBoxBytes::Load(QPlainTextEdit* box, const std::string& bytes)
{
    bytes_ = bytes;
    box->setPlainText(ToEditText(bytes));
    shown_ = EditBoxText(box);
}

std::string EditBoxBytes::Bytes(const QPlainTextEdit* box) const
{
    return Untouched(box) ? bytes_ : FromEditText(EditBoxText(box));
}

}  // namespace ambrin
