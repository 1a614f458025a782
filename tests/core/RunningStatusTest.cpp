// What runs now and today's total, and the end of a log file it is read from.
#include "core/RunningStatus.h"

#include "core/TimeLog.h"
#include "storage/LogTail.h"
#include "support/FakeClock.h"
#include "support/LogGenerator.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

// One hour east of UTC, two from 2026-03-29 3:00 (that day has 23 hours).
std::int64_t CentralEurope(ClockTime local)
{
    return local >= MakeTime(2026, 3, 29, 3, 0) && local < MakeTime(2026, 10, 25, 2, 0) ? 7200 : 3600;
}

TEST(RunningStatus, TheRunningRecordAndTodaysHours)
{
    struct Case {
        const char* name;
        std::vector<TimeRecord> records;
        ClockTime now;
        std::string text;
    };
    const auto at = [](int day, int hour, int minute = 0) { return MakeTime(2026, 12, day, hour, minute); };
    const Case cases[] = {
        {"a project running", {{"A", "", at(7, 8), at(7, 9)}, {"Web", "", at(7, 9), {}}}, at(7, 10, 42), "Web  1:42  (today 2:42)"},
        {"<idle> running: today's total only", {{"A", "", at(7, 8), at(7, 9)}, {"<idle>", "", at(7, 9), {}}}, at(7, 12),
         "<idle>  (today 1:00)"},
        {"a record across midnight counts from midnight", {{"A", "", at(6, 23), at(7, 1)}, {"B", "", at(7, 1), {}}},
         at(7, 2, 30), "B  1:30  (today 2:30)"},
        {"nothing since yesterday", {{"A", "", at(6, 9), at(6, 17)}}, at(7, 8), "<idle>  (today 0:00)"},
        {"an empty log", {}, at(7, 8), "<idle>  (today 0:00)"},
        {"a record ending before it starts counts nothing", {{"A", "", at(7, 9), at(7, 8)}, {"B", "", at(7, 9), {}}},
         at(7, 9, 30), "B  0:30  (today 0:30)"},
        {"a 23-hour day counts the hours that passed", {{"A", "", MakeTime(2026, 3, 29, 1, 0), {}}}, MakeTime(2026, 3, 29, 4, 0),
         "A  2:00  (today 2:00)"},
    };
    for (const Case& c : cases) {
        TimeLog log;
        for (const TimeRecord& r : c.records) log.AppendCopy(r);
        EXPECT_EQ(StatusText(StatusOf(log, c.now, CentralEurope)), c.text) << c.name;
    }

    TimeLog log;
    log.Append("Website \"redesign\"", "", at(7, 9, 5), {});
    EXPECT_EQ(StatusJson(StatusOf(log, at(7, 10, 47), CentralEurope)),
              "{\"project\": \"Website \\\"redesign\\\"\", \"running\": true, \"since\": \"2026-12-07T09:05:00\", "
              "\"elapsed_seconds\": 6120, \"today_seconds\": 6120}\n");
    EXPECT_EQ(StatusJson(StatusOf(TimeLog(), at(7, 10), CentralEurope)),
              "{\"project\": null, \"running\": false, \"since\": null, \"elapsed_seconds\": 0, \"today_seconds\": 0}\n");
}

// The end of a file large enough to be read in pieces: the records it gives are the file's own
// last ones, back past the time asked for.
TEST(LogTail, ReadsBackJustPastTheTimeAsked)
{
    test::TempHome home;
    const std::string path = home.Path() + "/current log.csv";
    test::WriteBytes(path, test::GenerateCsv(20'000));  // about 1.5 MB from 2015-01-05
    TimeLog whole;
    std::istringstream bytes(test::FileBytes(path));
    ASSERT_TRUE(whole.ReadCsv(bytes));
    const std::vector<TimeRecord> all = test::RecordsOf(whole);
    for (const std::uint32_t back : {1u, 500u, 5000u, 19'999u}) {
        const ClockTime since = all[all.size() - back].start;
        TimeLog tail;
        ASSERT_TRUE(ReadLogTail(tail, path, since)) << back;
        const std::vector<TimeRecord> got = test::RecordsOf(tail);
        ASSERT_GE(got.size(), back) << back;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), all.end() - static_cast<std::ptrdiff_t>(got.size()))) << back;
        EXPECT_LE(got.front().end, since) << back << ": one record ended by then, to know the rest did";
    }
    TimeLog tail;
    ASSERT_TRUE(ReadLogTail(tail, path, MakeTime(2000, 1, 1)));
    EXPECT_EQ(tail.Count(), whole.Count()) << "before the first record: the whole file";
    EXPECT_FALSE(ReadLogTail(tail, home.Path() + "/missing.csv", MakeTime(2000, 1, 1)));
    EXPECT_EQ(tail.Count(), whole.Count()) << "a failed read leaves the log as it was";
}

}  // namespace
}  // namespace ambrin
