#include "dialogs/TimeAwayDialog.h"

#include "core/ClockTime.h"
#include "core/TimeAway.h"
#include "core/TimeSummary.h"
#include "dialogs/common/Accessibility.h"
#include "dialogs/common/QtText.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ambrin {

namespace {

QString ClockText(ClockTime time, bool withDate)
{
    return withDate ? ToQString(FormatIsoDate(DateOf(time))) + QLatin1Char(' ') + HourMinute(time) : HourMinute(time);
}

QString Duration(std::int64_t seconds)
{
    const std::int64_t minutes = seconds / 60, hours = minutes / 60;
    const auto count = [](std::int64_t n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    if (hours == 0) return count(minutes, "minute", "minutes");
    return minutes % 60 == 0 ? count(hours, "hour", "hours")
                             : count(hours, "hour", "hours") + QLatin1Char(' ') + count(minutes % 60, "minute", "minutes");
}

}  // namespace

TimeAwayDialog::TimeAwayDialog(std::function<std::vector<std::string>()> projects, AnswerHandler onAnswer, QWidget* parent)
    : DialogBase(parent), projects_(std::move(projects)), onAnswer_(std::move(onAnswer))
{
    setObjectName("timeAwayDialog");
    setWindowTitle(QStringLiteral("Time away"));
    setModal(false);
    text_ = new QLabel(this);
    text_->setObjectName("awayText");
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setMinimumWidth(fontMetrics().averageCharWidth() * 50);

    struct AnswerButton {
        const char* text;
        const char* name;
        const char* description;
        AwayAnswer answer;
    };
    const AnswerButton buttonsByAnswer[] = {
        {"&Keep", "keepButton", "The time away stays on the running project", AwayAnswer::Keep},
        {"&Discard", "discardButton", "The time away is dropped; the project runs on from now", AwayAnswer::Discard},
        {"Discard and &stop", "discardStopButton", "The time away is dropped and no project runs", AwayAnswer::DiscardAndStop},
        {"&Assign to...", "assignButton", "The time away goes to another project, chosen next", AwayAnswer::AssignTo},
    };
    auto* buttons = new QHBoxLayout;
    for (const AnswerButton& choice : buttonsByAnswer) {
        auto* button = new QPushButton(QString::fromLatin1(choice.text), this);
        button->setObjectName(choice.name);
        Describe(button, {}, QString::fromLatin1(choice.description));
        buttons->addWidget(button);
        const AwayAnswer answer = choice.answer;
        if (answer == AwayAnswer::AssignTo) {
            connect(button, &QPushButton::clicked, this, &TimeAwayDialog::AssignTo);
        } else {
            connect(button, &QPushButton::clicked, this, [this, answer] { Answer(answer); });
        }
        if (answer == AwayAnswer::Keep) button->setDefault(true);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TimeAwayDialog::AwayText(ClockTime from, ClockTime to, const std::string& project, ClockTime now)
{
    const bool dates = !SameDay(from, now) || !SameDay(to, now);
    return QStringLiteral("You were away from %1 to %2 (%3) while \"%4\" was running.")
        .arg(ClockText(from, dates), ClockText(to, dates), Duration(SecondsBetween(to, from)), ToQString(project));
}

void TimeAwayDialog::Ask(ClockTime from, ClockTime to, const std::string& project)
{
    text_->setText(AwayText(from, to, project, ClockTime::Now()));
    if (!isVisible()) show();
    raise();
    activateWindow();
}

QString TimeAwayDialog::Question() const
{
    return text_->text();
}

void TimeAwayDialog::reject()
{
    Answer(AwayAnswer::Keep);
}

void TimeAwayDialog::Answer(AwayAnswer answer, const std::string& assignTo)
{
    hide();
    setResult(QDialog::Accepted);
    onAnswer_(answer, assignTo);
}

void TimeAwayDialog::AssignTo()
{
    const std::vector<std::string> projects = projects_();
    QStringList names;
    for (const std::string& name : projects) names.push_back(ToQString(name));
    QInputDialog chooser(this);
    chooser.setObjectName("assignChooser");
    chooser.setWindowTitle(QStringLiteral("Assign time away"));
    chooser.setLabelText(QStringLiteral("&Project for the time away:"));
    chooser.setComboBoxItems(names);
    chooser.setComboBoxEditable(true);
    chooser.setTextValue(QString());
    if (chooser.exec() != QDialog::Accepted || chooser.textValue().trimmed().isEmpty()) return;  // the question stays
    // A name chosen from the list keeps its own bytes; a typed one is taken as typed.
    const qsizetype listed = names.indexOf(chooser.textValue());
    Answer(AwayAnswer::AssignTo, listed >= 0 ? projects[static_cast<std::size_t>(listed)] : ToBytes(chooser.textValue()));
}

}  // namespace ambrin
