#pragma once

#include <QString>

#include <string>

class QPlainTextEdit;

namespace ambrin {

// A multi-line box's text with its line breaks as "\n", every other character as the box
// holds it. (toPlainText hands a non-breaking space back as a space, and a lone CR or U+2028
// as a line end.)
QString EditBoxText(const QPlainTextEdit* box);

// The bytes behind a multi-line box: shown with their CR LF pairs as line breaks, given back
// as they were unless the user changed the text. What the box showed when loaded is kept, so a
// text the box renders differently from its bytes (a lone CR, bytes the locale cannot show)
// still counts as untouched.
class EditBoxBytes {
public:
    void Load(QPlainTextEdit* box, const std::string& bytes);
    // The original bytes when the text is as loaded; the text's bytes, CR LF for each line
    // break, when the user changed it.
    std::string Bytes(const QPlainTextEdit* box) const;
    bool Untouched(const QPlainTextEdit* box) const { return EditBoxText(box) == shown_; }

private:
    std::string bytes_;
    QString shown_;
};

}  // namespace ambrin
