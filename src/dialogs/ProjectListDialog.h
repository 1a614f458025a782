#pragma once

#include "dialogs/common/DialogBase.h"

#include <string>

class QPlainTextEdit;

namespace ambrin {

class ProjectList;

// Edits the whole project list as text, one name per line.
class ProjectListDialog : public DialogBase {
    Q_OBJECT
public:
    ProjectListDialog(const std::string& text, QWidget* parent = nullptr);
    // After OK: the edited text, lines ending in CR LF; the original bytes when unchanged.
    std::string Text() const;

    // The "Edit Project List" handler: builds the text from the list, runs the editor and
    // replaces the list after OK.
    static void EditList(ProjectList& list, QWidget* parent);

private:
    std::string original_;
    QPlainTextEdit* edit_;
};

}  // namespace ambrin
