#include "core/TimeSummary.h"

#include "core/ProjectName.h"
#include "core/TimeLog.h"
#include "platform/LocalClock.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace ambrin {

namespace {

constexpr std::int64_t kDaysFrom1601To1970 = 134774;
constexpr auto kDay = static_cast<std::int64_t>(kTicksPerDay);
constexpr auto kSecond = static_cast<std::int64_t>(kTicksPerSecond);

bool IsLeap(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_begincivil).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string PeriodOfDay(std::int64_t day, SummaryGrouping by)
{
    char text[16];
    const LocalDate date = DateOfDay(day);
    switch (by) {
    case SummaryGrouping::Day:
        return FormatIsoDate(date);
    case SummaryGrouping::Month:
        std::snprintf(text, sizeof text, "%04d-%02d", date.year, date.month);
        return text;
    case SummaryGrouping::Week:
        break;
    }
    // The ISO week is the one of its Thursday, and belongs to the Thursday's year.
    const std::int64_t thursday = day - day % 7 + 3;
    const int year = DateOfDay(thursday).year;
    std::int64_t january1 = 0;
    DayNumber({year, 1, 1}, january1);
    std::snprintf(text, sizeof text, "%04d-W%02d", year, static_cast<int>((thursday - january1) / 7 + 1));
    return text;
}

// The seconds that passed between two local times of one day. A day whose midnights have the
// same offset is taken to have none between them: the clock changes at most once a day.
class PassedTime {
public:
    explicit PassedTime(const UtcOffsetAt& offsetAt) : offsetAt_(offsetAt) {}

    std::int64_t Ticks(std::int64_t from, std::int64_t to, std::int64_t day)
    {
        if (day != lastDay_) {  // the records come mostly in time order: a day is asked for again and again
            lastDay_ = day;
            lastDayIsEven_ = Midnight(day) == Midnight(day + 1);
        }
        if (lastDayIsEven_) return to - from;
        return (to - Offset(to) * kSecond) - (from - Offset(from) * kSecond);
    }

private:
    std::int64_t Offset(std::int64_t ticks) const { return offsetAt_(ClockTime(static_cast<std::uint64_t>(ticks))); }
    std::int64_t Midnight(std::int64_t day)
    {
        const auto [at, added] = midnights_.try_emplace(day, 0);
        if (added) at->second = Offset(day * kDay);
        return at->second;
    }

    const UtcOffsetAt& offsetAt_;
    std::unordered_map<std::int64_t, std::int64_t> midnights_;
    std::int64_t lastDay_ = -1;
    bool lastDayIsEven_ = true;
};

struct ProjectTime {
    std::string name;  // the spelling of its earliest record
    std::uint64_t earliest = 0;
    std::vector<std::int64_t> ticks;
};

}  // namespace

bool DayNumber(LocalDate date, std::int64_t& day)
{
    if (date.year < 1601 || date.year > 30827 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month)) {
        return false;
    }
    day = DaysFromCivil(date.year, date.month, date.day) + kDaysFrom1601To1970;
    return true;
}

LocalDate DateOfDay(std::int64_t day)
{
    const CalendarFields f = ClockTime(static_cast<std::uint64_t>(day) * kTicksPerDay).Fields();
    return {f.year, f.month, f.day};
}

bool ParseIsoDate(const std::string& text, LocalDate& date)
{
    int year = 0, month = 0, day = 0, used = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 || used != 10) {
        return false;
    }
    std::int64_t number = 0;
    if (!DayNumber({year, month, day}, number)) return false;
    date = {year, month, day};
    return true;
}

std::string FormatIsoDate(LocalDate date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

LocalDate DateOf(ClockTime time)
{
    const CalendarFields f = time.Fields();
    return {f.year, f.month, f.day};
}

DateSpan RangeAround(SummaryRange range, LocalDate day)
{
    std::int64_t number = 0;
    DayNumber(day, number);
    const std::int64_t monday = number - number % 7;  // day 0, 1601-01-01, was a Monday
    switch (range) {
    case SummaryRange::ThisWeek: return {DateOfDay(monday), DateOfDay(monday + 6)};
    case SummaryRange::LastWeek: return {DateOfDay(monday - 7), DateOfDay(monday - 1)};
    case SummaryRange::ThisMonth: return {{day.year, day.month, 1}, {day.year, day.month, DaysInMonth(day.year, day.month)}};
    case SummaryRange::LastMonth: {
        const int year = day.month == 1 ? day.year - 1 : day.year, month = day.month == 1 ? 12 : day.month - 1;
        return {{year, month, 1}, {year, month, DaysInMonth(year, month)}};
    }
    case SummaryRange::ThisYear: break;
    }
    return {{day.year, 1, 1}, {day.year, 12, 31}};
}

std::int64_t SystemUtcOffset(ClockTime local)
{
    const CalendarFields f = local.Fields();
    return platform::UtcOffsetAt({f.year, f.month, f.day, f.hour, f.minute, 0, 0});
}

std::int64_t TimeSummary::ProjectTotal(std::size_t project) const
{
    const auto row = seconds.begin() + static_cast<std::ptrdiff_t>(project * periods.size());
    return std::accumulate(row, row + static_cast<std::ptrdiff_t>(periods.size()), std::int64_t{0});
}

std::int64_t TimeSummary::PeriodTotal(std::size_t period) const
{
    std::int64_t sum = 0;
    for (std::size_t p = 0; p < projects.size(); ++p) sum += At(p, period);
    return sum;
}

TimeSummary Summarize(const TimeLog& log, LocalDate from, LocalDate to, SummaryGrouping by, ClockTime now,
                      const UtcOffsetAt& offsetAt)
{
    TimeSummary summary{from, to, by, {}, {}, {}, 0, 0};
    std::int64_t first = 0, last = 0;
    if (!DayNumber(from, first) || !DayNumber(to, last) || last < first) return summary;
    std::vector<std::uint32_t> periodOfDay;
    for (std::int64_t day = first; day <= last; ++day) {
        std::string period = PeriodOfDay(day, by);
        if (summary.periods.empty() || summary.periods.back() != period) summary.periods.push_back(std::move(period));
        periodOfDay.push_back(static_cast<std::uint32_t>(summary.periods.size() - 1));
    }

    std::unordered_map<std::string, ProjectTime> projects;         // by the name with ASCII case folded
    std::unordered_map<std::string_view, ProjectTime*> byExactName;  // the log's own bytes: no copy per record
    PassedTime passed(offsetAt);
    const std::int64_t rangeStart = first * kDay, rangeEnd = (last + 1) * kDay;
    for (std::uint32_t i = 0; i < log.Count(); ++i) {
        const TimeRecord& record = log.View(i);
        const std::string_view name = TrimSpaces(record.project);
        if (!IsWrittenProject(name) || record.start.IsEmpty()) continue;
        const auto start = static_cast<std::int64_t>(record.start.Ticks());
        const auto end = static_cast<std::int64_t>((record.end.IsEmpty() ? now : record.end).Ticks());
        if (end < start) {
            ++summary.skipped;
            continue;
        }
        const std::int64_t begin = std::max(start, rangeStart), finish = std::min(end, rangeEnd);
        if (begin >= finish) continue;
        ProjectTime*& known = byExactName[name];
        if (!known) {
            known = &projects[FoldedName(name)];
            if (known->ticks.empty()) known->ticks.assign(summary.periods.size(), 0);
        }
        ProjectTime& project = *known;
        const std::uint64_t startTicks = record.start.Ticks();
        if (project.name.empty() || startTicks < project.earliest || (startTicks == project.earliest && name < project.name)) {
            project.name = name;
            project.earliest = startTicks;
        }
        for (std::int64_t day = begin / kDay; day * kDay < finish; ++day) {
            const std::int64_t piece = passed.Ticks(std::max(begin, day * kDay), std::min(finish, (day + 1) * kDay), day);
            project.ticks[periodOfDay[static_cast<std::size_t>(day - first)]] += piece;
        }
    }

    std::vector<const ProjectTime*> order;
    for (const auto& [key, project] : projects) order.push_back(&project);
    std::sort(order.begin(), order.end(), [](const ProjectTime* a, const ProjectTime* b) {
        const std::string fa = FoldedName(a->name), fb = FoldedName(b->name);
        return fa != fb ? fa < fb : a->name < b->name;
    });
    for (const ProjectTime* project : order) {
        summary.projects.push_back(project->name);
        for (const std::int64_t ticks : project->ticks) {
            summary.seconds.push_back(ticks / kSecond);
            summary.total += ticks / kSecond;
        }
    }
    return summary;
}

}  // namespace ambrin
