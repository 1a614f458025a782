#include "app/StripControls.h"

#include "core/RunningStatus.h"
#include "core/SummaryText.h"
#include "dialogs/common/Accessibility.h"
#include "dialogs/common/Icons.h"
#include "dialogs/common/Pickers.h"
#include "dialogs/common/QtText.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTimeEdit>
#include <QToolButton>

#include <algorithm>

namespace ambrin {

namespace {

QToolButton* Button(QWidget* strip, const char* name, const QString& tip, const QString& description)
{
    auto* button = new QToolButton(strip);
    button->setObjectName(name);
    button->setToolTip(tip);
    Describe(button, tip, description);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

template <typename Picker>
Picker* MakePicker(QWidget* strip, const char* name, const QString& what)
{
    auto* picker = new TabLeavingPicker<Picker>(strip);
    picker->setObjectName(name);
    HoldWallClockFields(picker);
    picker->setAlignment(Qt::AlignRight);
    Describe(picker, what, QStringLiteral("Follows the clock; set it back by hand to date the next change back"));
    return picker;
}

}  // namespace

StripControls BuildStripControls(QWidget* strip)
{
    StripControls c;
    c.combo = new QComboBox(strip);
    c.combo->setObjectName("projectCombo");
    c.combo->setEditable(true);
    c.combo->setInsertPolicy(QComboBox::NoInsert);
    c.combo->setCompleter(nullptr);
    c.combo->setMinimumContentsLength(22);
    c.combo->setMaxVisibleItems(12);
    Describe(c.combo, QStringLiteral("Project"),
             QStringLiteral("The project you work on; choose or type another and press Enter to start it"));
    c.combo->lineEdit()->setAccessibleName(QStringLiteral("Project"));

    c.notes = Button(strip, "notesButton", QStringLiteral("Notes"), QStringLiteral("Edit the notes of the running record"));
    c.notes->setIcon(NotesIcon());

    c.time = MakePicker<QTimeEdit>(strip, "timePicker", QStringLiteral("Time of the next change"));
    c.time->setDisplayFormat(TimeFormatWithSeconds());
    c.date = MakePicker<QDateEdit>(strip, "datePicker", QStringLiteral("Date of the next change"));
    c.date->setCalendarPopup(true);
    c.date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));

    c.saveWarning = Button(strip, "saveWarning", QStringLiteral("Not saved"),
                           QStringLiteral("The log could not be saved; click to try again"));
    c.saveWarning->hide();

    c.options = Button(strip, "optionsButton", QStringLiteral("Options"),
                       QStringLiteral("Options, the log and the project list; also About Ambrin"));
    c.options->setIcon(OptionsIcon(strip->palette().color(QPalette::ButtonText)));

    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(3);
    layout->addWidget(c.combo, 1);
    QWidget* previous = c.combo;
    for (QWidget* control : {static_cast<QWidget*>(c.notes), static_cast<QWidget*>(c.time),
                             static_cast<QWidget*>(c.date), static_cast<QWidget*>(c.saveWarning),
                             static_cast<QWidget*>(c.options)}) {
        layout->addWidget(control);
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return c;
}

QString StatusTip(const QString& project, const RunningStatus& status, ClockTime now)
{
    QString tip = project;
    if (!status.project.empty()) {
        const CalendarFields f = status.since.Fields();
        QString at = HourMinute(status.since);
        if (!SameDay(status.since, now)) at = QLocale().toString(QDate(f.year, f.month, f.day), QStringLiteral("ddd d MMM ")) + at;
        tip += QStringLiteral("\nsince %1, %2 so far").arg(at, ToQString(FormatHoursMinutes(status.elapsedSeconds)));
    }
    return tip + QStringLiteral("\ntoday %1").arg(ToQString(FormatHoursMinutes(status.todaySeconds)));
}

void PlaceBesideStrip(QWidget* window, const QWidget* strip)
{
    const QRect around = strip->frameGeometry(), screen = strip->screen()->availableGeometry();
    const int height = window->frameGeometry().height();
    const int y = around.bottom() + height < screen.bottom() ? around.bottom() + 1 : std::max(screen.top(), around.top() - height);
    const int width = window->frameGeometry().width();
    window->move(std::clamp(around.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - width)), y);
}

}  // namespace ambrin
