#pragma once

#include "core/ClockTime.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ambrin {

class TimeLog;

enum class SummaryGrouping { Day, Week, Month };  // a week is the ISO week, Monday first

// A day of the local calendar.
struct LocalDate {
    int year = 1601;
    int month = 1;
    int day = 1;
    friend auto operator<=>(const LocalDate&, const LocalDate&) = default;
};

// Seconds east of UTC in effect at a local wall-clock time. The local clock's changes
// (daylight saving) make a day 23 or 25 hours long; a summary counts the hours that passed.
using UtcOffsetAt = std::function<std::int64_t(ClockTime local)>;

// Where the time went over [from, to]: seconds per project and period. A record counts the
// part of [start, end) in each period, split at local midnight; the running record counts up
// to now; "<idle>" and blank names never count; a record that ends before it starts counts
// nothing and is counted in skipped. Names that differ only in ASCII case are one project,
// shown as first met in the log. The same whatever the order of the records.
struct TimeSummary {
    LocalDate from, to;
    SummaryGrouping by = SummaryGrouping::Day;
    std::vector<std::string> periods;   // every period of the range: "2026-12-07", "2026-W50", "2026-12"
    std::vector<std::string> projects;  // those with time, in name order
    std::vector<std::int64_t> seconds;  // projects × periods, a project's periods together
    std::int64_t total = 0;
    std::uint32_t skipped = 0;

    std::int64_t At(std::size_t project, std::size_t period) const { return seconds[project * periods.size() + period]; }
    std::int64_t ProjectTotal(std::size_t project) const;
    std::int64_t PeriodTotal(std::size_t period) const;
};

TimeSummary Summarize(const TimeLog& log, LocalDate from, LocalDate to, SummaryGrouping by, ClockTime now,
                      const UtcOffsetAt& offsetAt);

// The ranges people ask for most, around a day.
enum class SummaryRange { ThisWeek, LastWeek, ThisMonth, LastMonth, ThisYear };
struct DateSpan {
    LocalDate from, to;
    friend bool operator==(const DateSpan&, const DateSpan&) = default;
};
DateSpan RangeAround(SummaryRange range, LocalDate day);  // weeks run Monday to Sunday
LocalDate DateOf(ClockTime time);

// The offset of the system's own time zone, as the local clock is read.
std::int64_t SystemUtcOffset(ClockTime local);

// Days since 1601-01-01 (a Monday) of a date, and back; false for a date that does not exist.
bool DayNumber(LocalDate date, std::int64_t& day);
LocalDate DateOfDay(std::int64_t day);
// "2026-12-07"; false unless it names a real date.
bool ParseIsoDate(const std::string& text, LocalDate& date);
std::string FormatIsoDate(LocalDate date);

}  // namespace ambrin
