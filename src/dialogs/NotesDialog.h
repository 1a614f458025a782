#pragma once

#include "dialogs/common/DialogBase.h"
#include "dialogs/common/EditBoxBytes.h"

#include <string>

class QPlainTextEdit;

namespace ambrin {

// Edits one notes text. Enter confirms, Ctrl+Enter breaks the line; line breaks are CR LF
// in and out, and a text the user did not change keeps its bytes.
class NotesDialog : public DialogBase {
    Q_OBJECT
public:
    NotesDialog(const std::string& notes, QWidget* parent = nullptr);

    // After OK: the edited text.
    std::string Notes() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* edit_;
    EditBoxBytes notes_;
};

}  // namespace ambrin
