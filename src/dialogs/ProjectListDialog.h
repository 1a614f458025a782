#pragma once

#include "dialogs/common/DialogBase.h"
#include "dialogs/common/EditBoxBytes.h"

#include <QStringList>

#include <string>
#include <vector>

class QPlainTextEdit;

namespace ambrin {

class ProjectList;

// Edits the whole project list as text, one name per line.
class ProjectListDialog : public DialogBase {
    Q_OBJECT
public:
    ProjectListDialog(const std::string& text, QWidget* parent = nullptr);
    // After OK: the edited text, lines ending in CR LF. A line the user left as it was keeps
    // its bytes, whatever else changed.
    std::string Text() const;

    // The "Edit Project List" handler: builds the text from the list, runs the editor and
    // replaces the list after OK; true when it did.
    static bool EditList(ProjectList& list, QWidget* parent);

private:
    // A line of the text given, and the lines the box showed for it (two or more where a lone
    // CR breaks it).
    struct ShownLine {
        std::string bytes;
        QStringList shown;
    };

    QPlainTextEdit* edit_;
    EditBoxBytes text_;
    std::vector<ShownLine> lines_;
};

}  // namespace ambrin
