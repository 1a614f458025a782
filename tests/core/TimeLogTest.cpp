#include "core/TimeLog.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <functional>

namespace ambrin {
namespace {

using test::MakeTime;

std::string Projects(const TimeLog& log)
{
    std::string names;
    for (std::uint32_t i = 0; i < log.Count(); ++i) names += log.At(i).project + ";";
    return names;
}

TEST(TimeLogCurrent, OpenRecordIsTheLastWithNoEnd)
{
    const ClockTime now = MakeTime(2005, 3, 7, 9, 5, 3, 250);
    test::FakeClock clock(now);
    TimeLog log;
    EXPECT_EQ(log.Current(false), nullptr);

    TimeRecord* open = log.Current(true);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(*open, (TimeRecord{"", "", now, ClockTime()}));
    EXPECT_EQ(log.Current(true), open) << "a second call returns the same record";
    EXPECT_EQ(log.Count(), 1u);

    open->end = MakeTime(2005, 3, 7, 10, 0);
    EXPECT_EQ(log.Current(false), nullptr);
    TimeRecord* next = log.Current(true);
    EXPECT_NE(next, open);
    EXPECT_EQ(log.Count(), 2u);
}

TEST(TimeLogCurrent, EarlierRecordInProgressIsNeverOpen)
{
    TimeLog log;
    log.Append("A", "", MakeTime(2005, 3, 7, 9, 0), ClockTime());
    log.Append("B", "", MakeTime(2005, 3, 7, 10, 0), MakeTime(2005, 3, 7, 11, 0));
    EXPECT_EQ(log.Current(false), nullptr);
    log.Current(true);
    EXPECT_EQ(log.Count(), 3u);
}

TEST(TimeLogSort, OrdersByStartThenEndAndKeepsReferences)
{
    //   A  09:00 ---- 10:00
    //   B  08:00 -- (running)
    //   C  08:00 ---------------- 12:00
    //   D  (no start)
    TimeLog log;
    log.Append("A", "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
    log.Append("C", "", MakeTime(2005, 3, 7, 8, 0), MakeTime(2005, 3, 7, 12, 0));
    log.Append("B", "", MakeTime(2005, 3, 7, 8, 0), ClockTime());
    log.Append("D", "", ClockTime(), MakeTime(2005, 3, 7, 7, 0));
    TimeRecord& a = log.At(0);
    log.SortByTime();
    EXPECT_EQ(Projects(log), "D;B;C;A;");
    EXPECT_EQ(&log.At(3), &a) << "records move as entries, never copied";
    EXPECT_EQ(log.Current(false), nullptr) << "a closed record sorted last closes the log";
}

TEST(TimeLogEdit, InsertRemoveAssign)
{
    TimeLog log;
    log.Append("A", "", {}, {});
    log.Append("B", "", {}, {});
    log.Append("C", "", {}, {});
    log.RemoveAt(0);
    EXPECT_EQ(Projects(log), "B;C;");
    log.InsertAt(log.Count(), "D", "", {}, {});
    log.InsertAt(0, "E", "", {}, {});
    log.InsertAt(1, "<idle>", "n", {}, {});
    EXPECT_EQ(Projects(log), "E;<idle>;B;C;D;");

    TimeLog copy;
    copy.Append("old", "", {}, {});
    copy.Assign(log);
    copy.At(0).project = "changed";
    EXPECT_EQ(log.At(0).project, "E") << "the copy is independent";
    EXPECT_EQ(Projects(copy), "changed;<idle>;B;C;D;");

    log.At(2).notes = "changed in the source";
    log.Current(true)->project = "through the open record";
    EXPECT_EQ(copy.At(2).notes, "") << "the source's later changes stay out of the copy";
    EXPECT_EQ(copy.At(4).project, "D");
    TimeRecord& own = copy.At(3);
    own.project = "written through a reference";
    EXPECT_EQ(log.At(3).project, "C");

    copy.Assign(TimeLog());
    EXPECT_EQ(copy.Count(), 0u);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
}

// After an Assign the two logs share one list until either changes it; whichever side
// changes, the other keeps what it had.
TEST(TimeLogEdit, ChangesToASharedListStayOnTheirSide)
{
    const struct {
        const char* name;
        std::function<void(TimeLog&)> change;
    } changes[] = {
        {"append", [](TimeLog& log) { log.Append("New", "", {}, {}); }},
        {"append a copy", [](TimeLog& log) { log.AppendCopy(log.At(0)); }},
        {"insert", [](TimeLog& log) { log.InsertAt(1, "New", "", {}, {}); }},
        {"remove", [](TimeLog& log) { log.RemoveAt(0); }},
        {"clear", [](TimeLog& log) { log.Clear(); }},
        {"sort", [](TimeLog& log) { log.SortByTime(); }},
        {"reserve, then append", [](TimeLog& log) { log.Reserve(100); log.Append("New", "", {}, {}); }},
        {"open a record", [](TimeLog& log) { log.Current(true)->project = "Open"; }},
        {"write a record", [](TimeLog& log) { log.At(1).project = "Written"; }},
    };
    for (const auto& c : changes) {
        for (const bool changeTheCopy : {true, false}) {
            TimeLog source;
            source.Append("B", "", ClockTime(2 * kTicksPerDay), ClockTime(3 * kTicksPerDay));
            source.Append("A", "", ClockTime(1 * kTicksPerDay), ClockTime(2 * kTicksPerDay));
            TimeLog copy;
            copy.Assign(source);
            c.change(changeTheCopy ? copy : source);
            EXPECT_EQ(Projects(changeTheCopy ? source : copy), "B;A;")
                << c.name << (changeTheCopy ? " on the copy" : " on the source");
        }
    }
}

}  // namespace
}  // namespace ambrin
