#include "core/ClockTime.h"

#include "support/FakeClock.h"
#include "support/RowName.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace ambrin {
namespace {

using test::MakeTime;
using Style = ClockTextStyle;

TEST(ClockTimeFormat, Table)
{
    const std::tuple<const char*, ClockTime, Style, bool, const char*> cases[] = {
        {"empty numeric", ClockTime(), Style::Numeric, false, ""},
        {"empty time only", ClockTime(), Style::TimeOnly, false, ""},
        {"no leading zeros but minutes", MakeTime(2005, 1, 2, 3, 4, 5), Style::Numeric, true,
         "1-2-2005 3:04:05"},
        {"numeric 24-hour drops seconds", MakeTime(2005, 12, 31, 23, 59, 3), Style::Numeric,
         false, "12-31-2005 23:59"},
        {"year 30827", MakeTime(30827, 12, 31, 23, 59, 59), Style::Numeric, true,
         "12-31-30827 23:59:59"},
        {"12:05 am", MakeTime(2005, 3, 7, 0, 5), Style::TimeOnly, false, "         12:05 am"},
        {"12:05 pm", MakeTime(2005, 3, 7, 12, 5), Style::TimeOnly, false, "         12:05 pm"},
        {"time only ignores seconds", MakeTime(2005, 3, 7, 13, 15, 59), Style::TimeOnly, true,
         "         1:15 pm"},
        {"date and time", MakeTime(2005, 3, 7, 13, 15), Style::DateAndTime, false,
         "Mon Mar 7, 1:15 pm"},
        {"sunday in december", MakeTime(2006, 12, 31, 9, 5), Style::DateAndTime, false,
         "Sun Dec 31, 9:05 am"},
        {"leap day", MakeTime(2004, 2, 29, 12, 0), Style::DateAndTime, false,
         "Sun Feb 29, 12:00 pm"},
    };
    for (const auto& [name, value, style, withSeconds, expected] : cases) {
        EXPECT_EQ(value.Format(style, withSeconds), expected) << name;
    }
}

TEST(ClockTimeFields, RoundTripEveryDayOfFourCenturies)
{
    // Walks 1601..2001 day by day: fields to ticks and back must agree, weekdays cycle.
    std::uint64_t ticks = 0;
    for (std::uint64_t day = 0; day < 146097; ++day, ticks += kTicksPerDay) {
        const CalendarFields f = ClockTime(ticks).Fields();
        std::uint64_t back = 0;
        ASSERT_TRUE(FieldsToTicks(f, back)) << day;
        ASSERT_EQ(back, ticks) << day;
        ASSERT_EQ(f.dayOfWeek, (day + 1) % 7) << day;
    }
}

TEST(ClockTimeFromFields, ValidityTable)
{
    const struct {
        const char* name;
        long long year, month, day, hour, minute, second;
        bool valid;
    } cases[] = {
        {"first moment", 1601, 1, 1, 0, 0, 0, true},
        {"last second", 30827, 12, 31, 23, 59, 59, true},
        {"year before 1601", 1600, 12, 31, 23, 59, 59, false},
        {"month 13", 2005, 13, 1, 0, 0, 0, false},
        {"31 April", 2005, 4, 31, 0, 0, 0, false},
        {"29 February, leap", 2004, 2, 29, 0, 0, 0, true},
        {"29 February, common", 2005, 2, 29, 0, 0, 0, false},
        {"29 February 1900", 1900, 2, 29, 0, 0, 0, false},
        {"29 February 2000", 2000, 2, 29, 0, 0, 0, true},
        {"hour 24", 2005, 3, 7, 24, 0, 0, false},
        {"second 60", 2005, 3, 7, 9, 5, 60, false},
        {"low 16 bits taken", 2005 + 65536, 3 + 65536, 7, 9, 5, 0, true},
        {"negative wraps to invalid", 2005, -1, 7, 9, 5, 0, false},
    };
    for (const auto& c : cases) {
        ClockTime t(12345);
        EXPECT_EQ(t.FromFields(c.year, c.month, c.day, c.hour, c.minute, c.second), c.valid)
            << c.name;
        EXPECT_TRUE(c.valid || t.Ticks() == 12345u) << c.name << ": value must stay unchanged";
    }
    ClockTime wrapped;
    wrapped.FromFields(2005 + 65536, 3 + 65536, 7, 9, 5, 0);
    EXPECT_EQ(wrapped, MakeTime(2005, 3, 7, 9, 5));
}

struct ParseCase {
    const char* name;
    std::string text;
    ClockTime expected;
    // Rows print as their names (gtest would dump their bytes, padding included).
    friend void PrintTo(const ParseCase& row, std::ostream* os) { *os << row.name; }
};

const ClockTime k905 = MakeTime(2005, 3, 7, 9, 5);

std::vector<ParseCase> ParseCases()
{
    const ClockTime empty;
    return {
        {"dashes", "3-7-2005 9:05", k905},
        {"slashes", "3/7/2005 9:05", k905},
        {"with seconds", "3-7-2005 9:05:30", MakeTime(2005, 3, 7, 9, 5, 30)},
        {"12 hour PM with seconds", "12-1-2026 1:00:30 PM", MakeTime(2026, 12, 1, 13, 0, 30)},
        {"12 PM is noon", "3-7-2005 12:15 PM", MakeTime(2005, 3, 7, 12, 15)},
        {"12 AM is midnight", "3-7-2005 12:15AM", MakeTime(2005, 3, 7, 0, 15)},
        {"no hour 13 on a 12 hour clock", "3-7-2005 13:15 pm", empty},
        {"repeated delimiters skipped", "3--7-2005   9::05", k905},
        {"leading white space in a token", "3-7-2005 9:\t05", k905},
        {"plus sign", "+3-7-2005 9:05", k905},
        {"digits then junk", "3x-7-2005 9:05", k905},
        {"date only", "3-7-2005", empty},
        {"no minute", "3-7-2005 9", empty},
        {"month 13", "13-1-2005 9:05", empty},
        {"30 February", "2-30-2005 9:05", empty},
        {"two-digit year", "3-7-05 9:05", empty},
        {"hour 24", "3-7-2005 24:00", empty},
        {"year first", "2005-03-07 09:05", k905},
        {"year first with a T and seconds", "2026-12-01T10:00:59.250",
         MakeTime(2026, 12, 1, 10, 0, 59)},
        {"year first, 12 hour", "2026-12-01 1:00 pm", MakeTime(2026, 12, 1, 13, 0)},
        {"empty", "", empty},
        {"column name", "Start", empty},
        {"seconds 60", "3-7-2005 9:05:60", empty},
        {"huge digit run saturates", "3-7-" + std::string(5000, '9') + " 9:05", empty},
        {"low 16 bits of the year", "3-7-67541 9:05", k905},
        {"negative month", "-3-7-2005 9:05", k905},
        {"NUL is an ordinary byte", std::string("3-7-2005 9:05\0:30", 17),
         MakeTime(2005, 3, 7, 9, 5, 30)},
        {"a slash is no year delimiter", "3-7//2005 9:05", empty},
        {"only the first 200 bytes", "3-7-2005" + std::string(192, ' ') + "9:05", empty},
        {"200 bytes exactly", "3-7-2005" + std::string(188, ' ') + "9:05", k905},
    };
}

class ClockTimeParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ClockTimeParse, ReadsAsTheTable)
{
    ClockTime t(777);
    t.Parse(GetParam().text);
    EXPECT_EQ(t, GetParam().expected) << "[" << GetParam().text.substr(0, 40) << "]";
}

INSTANTIATE_TEST_SUITE_P(Texts, ClockTimeParse, ::testing::ValuesIn(ParseCases()),
                         test::ByRowName());

TEST(RoundToQuarterHour, Table)
{
    const std::tuple<const char*, ClockTime, ClockTime> cases[] = {
        {"just below half", MakeTime(2005, 3, 7, 9, 7, 29, 999), MakeTime(2005, 3, 7, 9, 0)},
        {"exact half rounds up", MakeTime(2005, 3, 7, 9, 7, 30), MakeTime(2005, 3, 7, 9, 15)},
        {"into the next hour", MakeTime(2005, 3, 7, 9, 52, 30), MakeTime(2005, 3, 7, 10, 0)},
        {"into the next year", MakeTime(2005, 12, 31, 23, 53), MakeTime(2006, 1, 1, 0, 0)},
        {"on a quarter stays", MakeTime(2005, 3, 7, 9, 15), MakeTime(2005, 3, 7, 9, 15)},
        {"empty stays empty", ClockTime(), ClockTime()},
    };
    for (const auto& [name, value, expected] : cases) {
        EXPECT_EQ(RoundToQuarterHour(value), expected) << name;
    }
}

TEST(SecondsBetween, TruncatesTowardZero)
{
    const ClockTime base = MakeTime(2005, 3, 7, 9, 0);
    EXPECT_EQ(SecondsBetween(ClockTime(base.Ticks() + 19'999'999), base), 1);
    EXPECT_EQ(SecondsBetween(ClockTime(base.Ticks() - 15'000'000), base), -1);
    EXPECT_EQ(SecondsBetween(MakeTime(2005, 3, 7, 7, 30), base), -5400);
}

TEST(SameDay, ComparesCalendarDates)
{
    EXPECT_FALSE(SameDay(MakeTime(2005, 3, 7, 23, 59, 59), MakeTime(2005, 3, 8)));
    EXPECT_TRUE(SameDay(MakeTime(2005, 3, 7, 0, 0), MakeTime(2005, 3, 7, 23, 59)));
    EXPECT_TRUE(SameDay(ClockTime(), MakeTime(1601, 1, 1, 12, 0)));
}

TEST(FormatHours, SeventeenDigitsThenHalfAwayFromZero)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0.00"},       {5400, "1.50"},   {-5400, "-1.50"},   {450, "0.13"},
        {378, "0.11"},     {1350, "0.38"},   {360018, "100.01"}, {199926, "55.53"},
        {-450, "-0.13"},   {17, "0.00"},     {18, "0.01"},       {3600000, "1000.00"},
        {2147483647, "596523.24"},           {-2147483647 - 1, "-596523.24"},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(FormatHours(seconds), expected) << seconds << " s";
    }
}

}  // namespace
}  // namespace ambrin
