#include "dialogs/ProjectListDialog.h"

#include "dialogs/common/Accessibility.h"
#include "dialogs/common/QtText.h"
#include "storage/ProjectList.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>

namespace ambrin {

ProjectListDialog::ProjectListDialog(const std::string& text, QWidget* parent)
    : DialogBase(parent), edit_(new QPlainTextEdit(this))
{
    setObjectName("projectListDialog");
    setWindowTitle(QStringLiteral("Edit Project List"));
    auto* label = new QLabel(QStringLiteral("Enter one project name per line:"), this);
    label->setBuddy(edit_);
    edit_->setObjectName("projectListEdit");
    Describe(edit_, QStringLiteral("Project names"), QStringLiteral("One project name per line"));
    edit_->setTabChangesFocus(true);
    text_.Load(edit_, text);
    QTextDocument scratch;  // each line as the box shows it
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        ShownLine line{text.substr(begin, end - begin), {}};
        if (!line.bytes.empty() && line.bytes.back() == '\r') line.bytes.pop_back();
        scratch.setPlainText(ToQString(line.bytes));
        line.shown = scratch.toRawText().split(QChar::ParagraphSeparator);
        lines_.push_back(std::move(line));
        begin = end + 1;
    }

    // OK takes Enter outside the edit; inside it Enter starts a new line.
    QDialogButtonBox* buttons = OkCancelButtons(QStringLiteral("Replace the project list with these names"),
                                                QStringLiteral("Leave the project list as it was"));

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
    if (text_.Untouched(edit_)) return text_.Bytes(edit_);
    const QStringList edited = EditBoxText(edit_).split(QLatin1Char('\n'));
    std::vector<bool> used(lines_.size());
    // Whether the lines from `at` on show line k as the box showed it.
    const auto shows = [&](qsizetype at, std::size_t k) {
        const QStringList& shown = lines_[k].shown;
        if (used[k] || at + shown.size() > edited.size()) return false;
        for (qsizetype j = 0; j < shown.size(); ++j) {
            if (edited[at + j] != shown[j]) return false;
        }
        return true;
    };
    std::string out;
    std::size_t next = 0;  // lines mostly stay in their order
    for (qsizetype at = 0; at < edited.size();) {
        std::size_t k = next < lines_.size() && shows(at, next) ? next : 0;
        while (k < lines_.size() && !shows(at, k)) ++k;
        if (k == lines_.size()) {
            out += ToBytes(edited[at++]) + "\r\n";
            continue;
        }
        out += lines_[k].bytes + "\r\n";
        used[k] = true;
        at += lines_[k].shown.size();
        next = k + 1;
    }
    return out;
}

bool ProjectListDialog::EditList(ProjectList& list, QWidget* parent)
{
    std::string text;
    for (std::uint32_t i = 0; i < list.Count(); ++i) text += list.At(i) + "\r\n";
    ProjectListDialog dialog(text, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    std::istringstream in(dialog.Text());
    list.ReadList(in);
    return true;
}

}  // namespace ambrin
