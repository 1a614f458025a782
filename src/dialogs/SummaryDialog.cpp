#include "dialogs/SummaryDialog.h"

#include "core/SummaryText.h"
#include "core/TimeSummary.h"
#include "core/TimeLog.h"
#include "dialogs/SummaryChart.h"
#include "dialogs/common/Accessibility.h"
#include "dialogs/common/Help.h"
#include "dialogs/common/Pickers.h"
#include "dialogs/common/QtText.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ambrin {

namespace {

constexpr int kChosenDates = -1;  // the range combo's item for dates set by hand

struct RangeItem {
    const char* text;
    int range;
    SummaryGrouping by;  // what reads best for that range
};
const RangeItem kRanges[] = {
    {"This week", static_cast<int>(SummaryRange::ThisWeek), SummaryGrouping::Day},
    {"Last week", static_cast<int>(SummaryRange::LastWeek), SummaryGrouping::Day},
    {"This month", static_cast<int>(SummaryRange::ThisMonth), SummaryGrouping::Week},
    {"Last month", static_cast<int>(SummaryRange::LastMonth), SummaryGrouping::Week},
    {"This year", static_cast<int>(SummaryRange::ThisYear), SummaryGrouping::Month},
    {"Chosen dates", kChosenDates, SummaryGrouping::Day},
};

QDate ToQDate(LocalDate date)
{
    return QDate(date.year, date.month, date.day);
}

LocalDate FromQDate(QDate date)
{
    return {date.year(), date.month(), date.day()};
}

bool SameFigures(const TimeSummary& a, const TimeSummary& b)
{
    return a.periods == b.periods && a.projects == b.projects && a.seconds == b.seconds && a.skipped == b.skipped &&
           a.by == b.by;
}

QTableWidgetItem* Cell(const QString& text, bool bold, bool figure)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (figure) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (bold) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    return item;
}

// A day's weekday over its date, the period's own name otherwise.
QString PeriodHeader(const std::string& period, SummaryGrouping by)
{
    const QString text = QString::fromLatin1(period.data(), static_cast<qsizetype>(period.size()));
    if (by != SummaryGrouping::Day) return text;
    return QLocale().toString(QDate::fromString(text, Qt::ISODate), QStringLiteral("ddd")) + QLatin1Char('\n') + text;
}

QPushButton* Button(const QString& text, const char* name, const QString& description, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    Describe(button, {}, description);
    return button;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

SummaryDialog::SummaryDialog(const TimeLog& log, QWidget* parent) : DialogBase(parent), log_(log), summary_(std::make_unique<TimeSummary>())
{
    setObjectName("summaryDialog");
    setWindowTitle(QStringLiteral("Ambrin summary"));

    range_ = new QComboBox(this);
    range_->setObjectName("rangeCombo");
    for (const RangeItem& item : kRanges) range_->addItem(QString::fromLatin1(item.text), item.range);
    Describe(range_, QStringLiteral("Range"), QStringLiteral("The dates to sum: a week, a month, the year, or dates of your own"));
    from_ = new TabLeavingPicker<QDateEdit>(this);
    to_ = new TabLeavingPicker<QDateEdit>(this);
    from_->setObjectName("fromDate");
    to_->setObjectName("toDate");
    Describe(from_, QStringLiteral("From"), QStringLiteral("The first day summed"));
    Describe(to_, QStringLiteral("To"), QStringLiteral("The last day summed"));
    for (QDateEdit* picker : {from_, to_}) {
        HoldWallClockFields(picker);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        picker->setCalendarPopup(true);
    }
    grouping_ = new QComboBox(this);
    grouping_->setObjectName("groupingCombo");
    grouping_->addItem(QStringLiteral("Day"), static_cast<int>(SummaryGrouping::Day));
    grouping_->addItem(QStringLiteral("Week"), static_cast<int>(SummaryGrouping::Week));
    grouping_->addItem(QStringLiteral("Month"), static_cast<int>(SummaryGrouping::Month));
    Describe(grouping_, QStringLiteral("Group by"), QStringLiteral("A column per day, per week (Monday first) or per month"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(Label(QStringLiteral("&Range:"), range_, this));
    choices->addWidget(range_);
    choices->addSpacing(fontMetrics().averageCharWidth() * 2);
    choices->addWidget(Label(QStringLiteral("&From:"), from_, this));
    choices->addWidget(from_);
    choices->addWidget(Label(QStringLiteral("&To:"), to_, this));
    choices->addWidget(to_);
    choices->addStretch();
    choices->addWidget(Label(QStringLiteral("&Group by:"), grouping_, this));
    choices->addWidget(grouping_);

    table_ = new QTableWidget(this);
    table_->setObjectName("summaryTable");
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    Describe(table_, QStringLiteral("Hours per project and period"),
             QStringLiteral("A row per project, a column per period, totals in the last row and column"));
    chart_ = new SummaryChart(this);
    total_ = new QLabel(this);
    total_->setObjectName("totalLabel");
    skipped_ = new QLabel(this);
    skipped_->setObjectName("skippedLabel");
    skipped_->setTextFormat(Qt::PlainText);
    skipped_->setWordWrap(true);

    auto* copy = Button(QStringLiteral("&Copy"), "copyButton", QStringLiteral("Put the table on the clipboard for a spreadsheet"), this);
    auto* exportButton = Button(QStringLiteral("&Export..."), "exportButton",
                                QStringLiteral("Save a line per project and period as a CSV file"), this);
    auto* help = Button(QStringLiteral("&Help"), "helpButton", QStringLiteral("Open the help file"), this);
    auto* close = Button(QStringLiteral("Close"), "closeButton", QStringLiteral("Close this window"), this);
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {copy, exportButton}) buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {help, close}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(table_, 3);
    layout->addWidget(chart_, 2);
    layout->addWidget(total_);
    layout->addWidget(skipped_);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 125, fontMetrics().height() * 34);

    connect(range_, &QComboBox::activated, this, &SummaryDialog::RangeChosen);
    connect(grouping_, &QComboBox::activated, this, &SummaryDialog::Refresh);
    for (QDateEdit* picker : {from_, to_}) connect(picker, &QDateEdit::dateChanged, this, &SummaryDialog::DatesEdited);
    connect(copy, &QPushButton::clicked, this, &SummaryDialog::CopyTable);
    connect(exportButton, &QPushButton::clicked, this, &SummaryDialog::Export);
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // Ctrl+C in the table copies it whole, as the Copy button does.
    connect(new QShortcut(QKeySequence::Copy, table_, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated, this,
            &SummaryDialog::CopyTable);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &SummaryDialog::Refresh);
    timer_->start(kRefreshMilliseconds);

    range_->setCurrentIndex(0);
    RangeChosen();
    range_->setFocus();
}

SummaryDialog::~SummaryDialog() = default;

void SummaryDialog::RangeChosen()
{
    const RangeItem& item = kRanges[std::max(0, range_->currentIndex())];
    if (item.range != kChosenDates) grouping_->setCurrentIndex(grouping_->findData(static_cast<int>(item.by)));
    Refresh();
}

void SummaryDialog::DatesEdited()
{
    // The other end follows a date moved past it; dates set by hand are no longer a named range.
    const QSignalBlocker blockFrom(from_), blockTo(to_);
    if (from_->date() > to_->date()) (sender() == from_ ? to_ : from_)->setDate(sender() == from_ ? from_->date() : to_->date());
    range_->setCurrentIndex(range_->findData(kChosenDates));
    Refresh();
}

void SummaryDialog::Refresh()
{
    const ClockTime now = ClockTime::Now();
    const int range = range_->currentData().toInt();
    if (range != kChosenDates) {  // a named range moves on with the calendar
        const DateSpan span = RangeAround(static_cast<SummaryRange>(range), DateOf(now));
        const QSignalBlocker blockFrom(from_), blockTo(to_);
        from_->setDate(ToQDate(span.from));
        to_->setDate(ToQDate(span.to));
    }
    const auto by = static_cast<SummaryGrouping>(grouping_->currentData().toInt());
    TimeSummary summary = Summarize(log_, FromQDate(from_->date()), FromQDate(to_->date()), by, now, SystemUtcOffset);
    if (SameFigures(summary, *summary_) && table_->rowCount() != 0) return;
    *summary_ = std::move(summary);
    ShowSummary();
}

void SummaryDialog::ShowSummary()
{
    const TimeSummary& s = *summary_;
    const int row = table_->currentRow(), column = table_->currentColumn();
    const auto rows = static_cast<int>(s.projects.size()), periods = static_cast<int>(s.periods.size());
    table_->clear();
    table_->setRowCount(rows + 1);
    table_->setColumnCount(periods + 2);
    QStringList headers{QStringLiteral("Project")};
    for (const std::string& period : s.periods) headers.push_back(PeriodHeader(period, s.by));
    headers.push_back(QStringLiteral("Total"));
    table_->setHorizontalHeaderLabels(headers);
    const auto hours = [](std::int64_t seconds) { return seconds == 0 ? QString() : ToQString(FormatHoursMinutes(seconds)); };
    for (int p = 0; p < rows; ++p) {
        const auto project = static_cast<std::size_t>(p);
        table_->setItem(p, 0, Cell(ToQString(s.projects[project]), false, false));
        for (int q = 0; q < periods; ++q) table_->setItem(p, q + 1, Cell(hours(s.At(project, static_cast<std::size_t>(q))), false, true));
        table_->setItem(p, periods + 1, Cell(hours(s.ProjectTotal(project)), true, true));
    }
    table_->setItem(rows, 0, Cell(QStringLiteral("Total"), true, false));
    for (int q = 0; q < periods; ++q) table_->setItem(rows, q + 1, Cell(hours(s.PeriodTotal(static_cast<std::size_t>(q))), true, true));
    table_->setItem(rows, periods + 1, Cell(ToQString(FormatHoursMinutes(s.total)), true, true));
    table_->resizeColumnsToContents();
    if (row >= 0 && column >= 0) table_->setCurrentCell(std::min(row, rows), std::min(column, periods + 1));

    chart_->SetSummary(s);
    total_->setText(QStringLiteral("Total: %1").arg(ToQString(FormatHoursMinutes(s.total))));
    skipped_->setText(s.skipped == 1 ? QStringLiteral("1 record skipped: it ends before it starts.")
                                     : QStringLiteral("%1 records skipped: they end before they start.").arg(s.skipped));
    skipped_->setVisible(s.skipped != 0);
}

void SummaryDialog::CopyTable()
{
    QApplication::clipboard()->setText(ToQString(SummaryAsTabs(*summary_)));
}

void SummaryDialog::Export()
{
    const QString name = QStringLiteral("summary %1 to %2.csv")
                             .arg(ToQString(FormatIsoDate(summary_->from)), ToQString(FormatIsoDate(summary_->to)));
    QFileDialog dialog(this, QStringLiteral("Export Summary"), QDir::homePath(), QStringLiteral("CSV files (*.csv);;All files (*)"));
    dialog.setObjectName("exportDialog");
    dialog.selectFile(name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().front();
    std::string reason;
    if (platform::ReplaceFileContents(ToBytes(path), SummaryAsCsv(*summary_), platform::FolderSync::Now, &reason) !=
        platform::ReplaceResult::Replaced) {
        QMessageBox::warning(this, kAppName, QStringLiteral("Could not save %1: %2.").arg(path, ToQString(reason)));
    }
}

}  // namespace ambrin
