#pragma once

#include "dialogs/common/DialogBase.h"

#include <memory>

class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;
class QTimer;

namespace ambrin {

class SummaryChart;
class TimeLog;
struct TimeSummary;

// Where the time went: totals per project by day, week or month over a range of dates, as a
// table and a chart. Copy puts the table on the clipboard for a spreadsheet; Export saves the
// lines of the report's CSV form. The running record counts up to now.
class SummaryDialog : public DialogBase {
    Q_OBJECT
public:
    SummaryDialog(const TimeLog& log, QWidget* parent);
    ~SummaryDialog() override;

    // Sums the log again as it is now; the table keeps its place when nothing changed.
    void Refresh();
    const TimeSummary& Summary() const { return *summary_; }

    void CopyTable();
    void Export();

    static constexpr int kRefreshMilliseconds = 30'000;  // the running record grows

private:
    void RangeChosen();
    void DatesEdited();
    void ShowSummary();

    const TimeLog& log_;
    std::unique_ptr<TimeSummary> summary_;
    QComboBox* range_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* grouping_ = nullptr;
    QTableWidget* table_ = nullptr;
    SummaryChart* chart_ = nullptr;
    QLabel* total_ = nullptr;
    QLabel* skipped_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace ambrin
