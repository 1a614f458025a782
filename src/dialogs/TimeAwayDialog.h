#pragma once

#include "dialogs/common/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class QLabel;

namespace ambrin {

class ClockTime;
enum class AwayAnswer;

// "Time away": asks, without blocking the strip, what the time away from the computer was.
// Escape or the close box keeps the time; each answer is handed to the owner once.
class TimeAwayDialog : public DialogBase {
    Q_OBJECT
public:
    using AnswerHandler = std::function<void(AwayAnswer answer, const std::string& assignTo)>;
    // projects: the names offered by "Assign to...".
    TimeAwayDialog(std::function<std::vector<std::string>()> projects, AnswerHandler onAnswer, QWidget* parent);

    // Shows the question, or updates the one shown (two aways merged).
    void Ask(ClockTime from, ClockTime to, const std::string& project);
    QString Question() const;

    void reject() override;  // Keep

    // "12:02", or with the date when it is not today's.
    static QString AwayText(ClockTime from, ClockTime to, const std::string& project, ClockTime now);

private:
    void Answer(AwayAnswer answer, const std::string& assignTo = {});
    void AssignTo();

    std::function<std::vector<std::string>()> projects_;
    AnswerHandler onAnswer_;
    QLabel* text_ = nullptr;
};

}  // namespace ambrin
