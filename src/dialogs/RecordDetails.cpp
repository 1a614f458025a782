#include "dialogs/RecordDetails.h"

#include "core/TimeRecord.h"
#include "dialogs/common/Accessibility.h"
#include "dialogs/common/Pickers.h"
#include "dialogs/common/QtText.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimeEdit>

#include <type_traits>

namespace ambrin {

namespace {

template <typename Picker>
Picker* MakePicker(QWidget* parent, const char* name, const QString& accessibleName, const QString& description)
{
    auto* picker = new TabLeavingPicker<Picker>(parent);
    picker->setObjectName(name);
    HoldWallClockFields(picker);
    if constexpr (std::is_same_v<Picker, QTimeEdit>) picker->setDisplayFormat(TimeFormatWithSeconds());
    Describe(picker, accessibleName, description);
    return picker;
}

ClockTime ReadTime(const QDateEdit* date, const QTimeEdit* time)
{
    const QDate d = date->date();
    const QTime t = time->time();
    ClockTime value;
    value.FromFields(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    return value;
}

void Show(QDateEdit* date, QTimeEdit* time, ClockTime value)
{
    const CalendarFields f = value.Fields();
    date->setDate(QDate(f.year, f.month, f.day));
    time->setTime(QTime(f.hour, f.minute, f.second));
}

}  // namespace

RecordDetails::RecordDetails(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    projectEdit_ = new QLineEdit(this);
    projectEdit_->setObjectName("projectEdit");
    Describe(projectEdit_, QStringLiteral("Project"), QStringLiteral("The selected record's project"));
    startTime_ = MakePicker<QTimeEdit>(this, "startTime", QStringLiteral("Start time"),
                                       QStringLiteral("When the selected record began"));
    startDate_ = MakePicker<QDateEdit>(this, "startDate", QStringLiteral("Start date"),
                                       QStringLiteral("The day the selected record began"));
    endCheck_ = new QCheckBox(this);
    endCheck_->setObjectName("endCheck");
    Describe(endCheck_, QStringLiteral("Has an end"), QStringLiteral("Clear it for a record still in progress"));
    endTime_ = MakePicker<QTimeEdit>(this, "endTime", QStringLiteral("End time"),
                                     QStringLiteral("When the selected record ended"));
    endDate_ = MakePicker<QDateEdit>(this, "endDate", QStringLiteral("End date"),
                                     QStringLiteral("The day the selected record ended"));
    for (QDateEdit* date : {startDate_, endDate_}) date->setCalendarPopup(true);
    notesEdit_ = new QPlainTextEdit(this);
    notesEdit_->setObjectName("notesEdit");
    Describe(notesEdit_, QStringLiteral("Notes"),
             QStringLiteral("The selected record's notes; Enter means OK, Ctrl+Enter starts a new line"));
    notesEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    notesEdit_->setTabChangesFocus(true);
    notesEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    notesEdit_->setFixedHeight(notesEdit_->fontMetrics().height() * 4 + 10);

    connect(projectEdit_, &QLineEdit::textChanged, this, &RecordDetails::Edited);
    connect(notesEdit_, &QPlainTextEdit::textChanged, this, &RecordDetails::Edited);
    for (QDateTimeEdit* picker : std::initializer_list<QDateTimeEdit*>{startTime_, startDate_, endTime_, endDate_}) {
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &RecordDetails::Edited);
    }
    connect(endCheck_, &QCheckBox::toggled, this, [this](bool on) {
        endTime_->setEnabled(on);
        endDate_->setEnabled(on);
        emit Edited();
    });

    auto* times = new QHBoxLayout;
    times->addWidget(startTime_);
    times->addWidget(startDate_);
    times->addWidget(new QLabel(QStringLiteral("_"), this));
    times->addWidget(endCheck_);
    times->addWidget(endTime_);
    times->addWidget(endDate_);
    auto* grid = new QGridLayout(this);
    grid->addWidget(projectEdit_, 0, 0);
    grid->addLayout(times, 0, 1);
    grid->addWidget(notesEdit_, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    const QList<QWidget*> controls = Controls();
    for (qsizetype i = 1; i < controls.size(); ++i) setTabOrder(controls[i - 1], controls[i]);
}

QList<QWidget*> RecordDetails::Controls() const
{
    return {projectEdit_, startTime_, startDate_, endCheck_, endTime_, endDate_, notesEdit_};
}

void RecordDetails::Load(const TimeRecord* record)
{
    if (!record) {
        loadedProject_.clear();
        projectEdit_->clear();
        notes_.Load(notesEdit_, {});
        const ClockTime now = ClockTime::Now();
        Show(startDate_, startTime_, now);
        Show(endDate_, endTime_, now);
        endCheck_->setChecked(true);
        return;
    }
    loadedProject_ = record->project;
    projectEdit_->setText(ToQString(record->project));
    notes_.Load(notesEdit_, record->notes);
    Show(startDate_, startTime_, record->start);
    endCheck_->setChecked(!record->end.IsEmpty());
    Show(endDate_, endTime_, record->end.IsEmpty() ? record->start : record->end);
}

bool RecordDetails::Commit(TimeRecord& record) const
{
    const QString project = projectEdit_->text();
    if (project.isEmpty()) return false;
    record.project = EditedBytes(loadedProject_, project);
    record.notes = notes_.Bytes(notesEdit_);
    record.start = ReadTime(startDate_, startTime_);
    record.end = endCheck_->isChecked() ? ReadTime(endDate_, endTime_) : ClockTime();
    return true;
}

}  // namespace ambrin
