#include "core/TimeSummary.h"

#include "core/SummaryText.h"
#include "core/TimeLog.h"
#include "support/FakeClock.h"
#include "support/RowName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

// A zone one hour east of UTC, two in summer: on 2026-03-29 the clock goes from 2:00 to 3:00
// (a 23-hour day), on 2026-10-25 from 3:00 back to 2:00 (a 25-hour day).
std::int64_t CentralEurope(ClockTime local)
{
    const bool summer = local >= MakeTime(2026, 3, 29, 3, 0) && local < MakeTime(2026, 10, 25, 2, 0);
    return summer ? 7200 : 3600;
}

using Cell = std::tuple<std::string, std::string, std::int64_t>;  // period, project, seconds

struct SummaryCase {
    std::string name;
    std::vector<TimeRecord> records;
    LocalDate from, to;
    SummaryGrouping by;
    std::vector<Cell> cells;  // those not zero, by project then period
    std::uint32_t skipped = 0;
    friend void PrintTo(const SummaryCase& row, std::ostream* os) { *os << row.name; }
};

const ClockTime kNow = MakeTime(2026, 12, 7, 10, 30);

std::vector<SummaryCase> SummaryCases()
{
    using S = SummaryGrouping;
    const auto at = [](int y, int mo, int d, int h, int mi = 0) { return MakeTime(y, mo, d, h, mi); };
    return {
        {"split at midnight", {{"A", "", at(2026, 12, 1, 23), at(2026, 12, 2, 1)}}, {2026, 12, 1}, {2026, 12, 2}, S::Day,
         {{"2026-12-01", "A", 3600}, {"2026-12-02", "A", 3600}}},
        {"split at a month's end", {{"A", "", at(2026, 1, 31, 22), at(2026, 2, 1, 2)}}, {2026, 1, 1}, {2026, 2, 28}, S::Month,
         {{"2026-01", "A", 7200}, {"2026-02", "A", 7200}}},
        {"a leap day", {{"A", "", at(2028, 2, 28, 12), at(2028, 3, 1, 12)}}, {2028, 2, 28}, {2028, 3, 1}, S::Day,
         {{"2028-02-28", "A", 43200}, {"2028-02-29", "A", 86400}, {"2028-03-01", "A", 43200}}},
        {"a week across a year's end belongs to its Thursday's year",
         {{"A", "", at(2026, 12, 28, 9), at(2026, 12, 28, 10)}, {"A", "", at(2027, 1, 1, 9), at(2027, 1, 1, 10)},
          {"A", "", at(2027, 1, 4, 9), at(2027, 1, 4, 10)}},
         {2026, 12, 28}, {2027, 1, 4}, S::Week, {{"2026-W53", "A", 7200}, {"2027-W01", "A", 3600}}},
        {"the running record counts up to now", {{"A", "", at(2026, 12, 7, 9), {}}}, {2026, 12, 7}, {2026, 12, 7}, S::Day,
         {{"2026-12-07", "A", 5400}}},
        {"idle and blank names never count; names are trimmed",
         {{"<idle>", "", at(2026, 12, 7, 6), at(2026, 12, 7, 7)}, {"  ", "", at(2026, 12, 7, 7), at(2026, 12, 7, 8)},
          {" A ", "", at(2026, 12, 7, 8), at(2026, 12, 7, 9)}},
         {2026, 12, 7}, {2026, 12, 7}, S::Day, {{"2026-12-07", "A", 3600}}},
        {"a record that ends before it starts is skipped and counted",
         {{"A", "", at(2026, 12, 7, 9), at(2026, 12, 7, 8)}, {"B", "", at(2026, 12, 7, 8), at(2026, 12, 7, 9)}},
         {2026, 12, 7}, {2026, 12, 7}, S::Day, {{"2026-12-07", "B", 3600}}, 1},
        {"names that differ in ASCII case are one project, spelt as the earliest",
         {{"accounts", "", at(2026, 12, 7, 9), at(2026, 12, 7, 10)}, {"Accounts", "", at(2026, 12, 7, 8), at(2026, 12, 7, 9)},
          {"Caf\xC3\xA9", "", at(2026, 12, 7, 6), at(2026, 12, 7, 7)}, {"CAF\xC3\x89", "", at(2026, 12, 7, 7), at(2026, 12, 7, 8)}},
         {2026, 12, 7}, {2026, 12, 7}, S::Day,
         {{"2026-12-07", "Accounts", 7200}, {"2026-12-07", "CAF\xC3\x89", 3600}, {"2026-12-07", "Caf\xC3\xA9", 3600}}},
        {"time outside the range is left out", {{"A", "", at(2026, 11, 30, 20), at(2026, 12, 8, 4)}}, {2026, 12, 1}, {2026, 12, 7},
         S::Week, {{"2026-W49", "A", 6 * 86400}, {"2026-W50", "A", 86400}}},
        {"a 23-hour day when the clock goes forward", {{"A", "", at(2026, 3, 29, 0), at(2026, 3, 30, 0)}}, {2026, 3, 29},
         {2026, 3, 29}, S::Day, {{"2026-03-29", "A", 23 * 3600}}},
        {"a 25-hour day when the clock goes back", {{"A", "", at(2026, 10, 25, 0), at(2026, 10, 26, 0)}}, {2026, 10, 25},
         {2026, 10, 25}, S::Day, {{"2026-10-25", "A", 25 * 3600}}},
        {"across the change of the clock", {{"A", "", at(2026, 3, 29, 1, 30), at(2026, 3, 29, 3, 30)}}, {2026, 3, 29},
         {2026, 3, 29}, S::Day, {{"2026-03-29", "A", 3600}}},
    };
}

std::vector<Cell> Cells(const TimeSummary& summary)
{
    std::vector<Cell> cells;
    for (std::size_t p = 0; p < summary.projects.size(); ++p) {
        for (std::size_t q = 0; q < summary.periods.size(); ++q) {
            if (summary.At(p, q) != 0) cells.emplace_back(summary.periods[q], summary.projects[p], summary.At(p, q));
        }
    }
    return cells;
}

class SummaryTable : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryTable, GivesTheTablesSecondsWhateverTheOrder)
{
    const SummaryCase& row = GetParam();
    for (const bool reversed : {false, true}) {
        TimeLog log;
        std::vector<TimeRecord> records = row.records;
        if (reversed) std::reverse(records.begin(), records.end());
        for (const TimeRecord& r : records) log.AppendCopy(r);
        const TimeSummary summary = Summarize(log, row.from, row.to, row.by, kNow, CentralEurope);
        EXPECT_EQ(Cells(summary), row.cells) << (reversed ? "reversed" : "in order");
        EXPECT_EQ(summary.skipped, row.skipped);
        std::int64_t sum = 0;
        for (const Cell& cell : row.cells) sum += std::get<2>(cell);
        EXPECT_EQ(summary.total, sum);
    }
}

INSTANTIATE_TEST_SUITE_P(Summaries, SummaryTable, ::testing::ValuesIn(SummaryCases()), test::ByRowName());

TEST(SummaryPeriods, EveryPeriodOfTheRangeInOrderWithItsTotals)
{
    TimeLog log;
    log.Append("B", "", MakeTime(2026, 12, 8, 9, 0), MakeTime(2026, 12, 8, 10, 0));
    log.Append("A", "", MakeTime(2026, 12, 10, 9, 0), MakeTime(2026, 12, 10, 9, 30));
    log.Append("B", "", MakeTime(2026, 12, 10, 10, 0), MakeTime(2026, 12, 10, 11, 0));
    const TimeSummary s = Summarize(log, {2026, 12, 7}, {2026, 12, 13}, SummaryGrouping::Day, kNow, CentralEurope);
    EXPECT_EQ(s.periods, (std::vector<std::string>{"2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-11",
                                                   "2026-12-12", "2026-12-13"}));
    EXPECT_EQ(s.projects, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(s.ProjectTotal(1), 7200);
    EXPECT_EQ(s.PeriodTotal(3), 5400);
    EXPECT_EQ(s.total, 9000);
    // A spreadsheet sums every cell; a name's tab would move the cells after it.
    log.Append("C\tD", "", MakeTime(2026, 12, 9, 9, 0), MakeTime(2026, 12, 9, 9, 15));
    const std::string tabs = SummaryAsTabs(Summarize(log, {2026, 12, 9}, {2026, 12, 10}, SummaryGrouping::Day, kNow, CentralEurope));
    EXPECT_EQ(tabs, "Project\t2026-12-09\t2026-12-10\tTotal\r\nA\t0:00\t0:30\t0:30\r\nB\t0:00\t1:00\t1:00\r\n"
                    "C D\t0:15\t0:00\t0:15\r\nTotal\t0:15\t1:30\t1:45\r\n");
    const TimeSummary months = Summarize(log, {2026, 11, 30}, {2027, 1, 1}, SummaryGrouping::Month, kNow, CentralEurope);
    EXPECT_EQ(months.periods, (std::vector<std::string>{"2026-11", "2026-12", "2027-01"}));
}

TEST(SummaryRanges, RunFromTheirFirstDayToTheirLast)
{
    using R = SummaryRange;
    const std::tuple<const char*, R, LocalDate, DateSpan> cases[] = {
        {"this week on a Monday", R::ThisWeek, {2026, 12, 7}, {{2026, 12, 7}, {2026, 12, 13}}},
        {"this week on a Sunday", R::ThisWeek, {2026, 12, 13}, {{2026, 12, 7}, {2026, 12, 13}}},
        {"this week across a year's end", R::ThisWeek, {2027, 1, 1}, {{2026, 12, 28}, {2027, 1, 3}}},
        {"last week from a Monday", R::LastWeek, {2027, 1, 4}, {{2026, 12, 28}, {2027, 1, 3}}},
        {"this month in a leap February", R::ThisMonth, {2028, 2, 10}, {{2028, 2, 1}, {2028, 2, 29}}},
        {"last month from January", R::LastMonth, {2027, 1, 31}, {{2026, 12, 1}, {2026, 12, 31}}},
        {"last month from March", R::LastMonth, {2027, 3, 31}, {{2027, 2, 1}, {2027, 2, 28}}},
        {"this year", R::ThisYear, {2026, 12, 7}, {{2026, 1, 1}, {2026, 12, 31}}},
    };
    for (const auto& [name, range, day, expected] : cases) {
        const DateSpan span = RangeAround(range, day);
        EXPECT_TRUE(span == expected) << name << ": " << FormatIsoDate(span.from) << " to "
                                      << FormatIsoDate(span.to);
    }
}

TEST(IsoDate, ReadsOnlyRealDates)
{
    const std::pair<const char*, bool> cases[] = {
        {"2026-12-07", true}, {"2028-02-29", true},  {"2026-02-29", false}, {"2026-13-01", false},
        {"2026-12-7", false}, {"2026-12-07x", false}, {"1600-12-31", false}, {"", false},
    };
    for (const auto& [text, valid] : cases) {
        LocalDate date;
        EXPECT_EQ(ParseIsoDate(text, date), valid) << text;
        if (valid) {
            EXPECT_EQ(FormatIsoDate(date), text);
        }
    }
}

}  // namespace
}  // namespace ambrin
