#include "core/TimeLog.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace ambrin {
namespace {

using test::MakeTime;

std::string Projects(const TimeLog& log)
{
    std::string names;
    for (std::uint32_t i = 0; i < log.Count(); ++i) names += log.View(i).project + ";";
    return names;
}

ClockTime Day(int day)
{
    return MakeTime(2005, 3, day);
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

    open->end = MakeTime(2005, 3, 7, 10, 0);
    EXPECT_EQ(log.Current(false), nullptr);
    EXPECT_NE(log.Current(true), open);
    EXPECT_EQ(log.Count(), 2u);

    TimeLog earlier;  // only the last record can be open
    earlier.Append("A", "", Day(7), ClockTime());
    earlier.Append("B", "", Day(7), Day(8));
    EXPECT_EQ(earlier.Current(false), nullptr);
}

TEST(TimeLogSort, OrdersByStartThenEnd)
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
    log.SortByTime();
    EXPECT_EQ(Projects(log), "D;B;C;A;");
    EXPECT_EQ(log.Current(false), nullptr) << "a closed record sorted last closes the log";
}

TEST(TimeLogEdit, InsertRemoveAppendAndMoves)
{
    TimeLog log;
    for (const char* name : {"A", "B", "C"}) log.Append(name, "", {}, {});
    log.RemoveAt(0);
    log.InsertAt(log.Count(), "D", "", {}, {});
    log.InsertAt(0, "E", "", {}, {});
    log.AppendCopy(log.At(1));
    EXPECT_EQ(Projects(log), "E;B;C;D;B;");

    TimeLog moved(std::move(log));
    EXPECT_EQ(log.Count(), 0u) << "a log moved from is empty";
    log = std::move(moved);
    EXPECT_EQ(moved.Count(), 0u);
    EXPECT_EQ(log.Count(), 5u);
}

// A reference stays the record of its own log through every change but the record's removal,
// whatever copies are made of the log and whichever side is changed afterwards.
TEST(TimeLogReferences, StayTheirLogsRecordThroughAssignSortInsertAndRemove)
{
    TimeLog log;
    for (int day = 1; day <= 5; ++day) log.Append("r" + std::to_string(day), "", Day(day), Day(day + 1));
    TimeRecord& third = log.At(2);
    const TimeRecord& fourth = std::as_const(log).At(3);

    TimeLog copy;
    copy.Assign(log);
    third.notes = "written after the copy";
    EXPECT_EQ(copy.View(2).notes, "") << "a copy is independent of references taken before it";
    copy.At(3).project = "changed in the copy";
    EXPECT_EQ(fourth.project, "r4");
    log.At(3).notes = "changed in the log";
    EXPECT_EQ(fourth.notes, "changed in the log") << "a read-only reference names the log's record";

    TimeLog copyOfCopy;
    copyOfCopy.Assign(copy);
    copy.Clear();  // the records it shared live on in the copy of it
    EXPECT_EQ(copyOfCopy.View(3).project, "changed in the copy");

    third.start = Day(9);  // moves the record to the end of the order
    log.SortByTime();
    EXPECT_EQ(&log.At(4), &third) << "sorting moves entries, never records";
    log.InsertAt(0, "new", "", {}, {});
    log.RemoveAt(1);
    EXPECT_EQ(&log.At(4), &third);
    EXPECT_EQ(third.notes, "written after the copy");
    EXPECT_EQ(fourth.notes, "changed in the log");
    EXPECT_EQ(Projects(copyOfCopy), "r1;r2;r3;changed in the copy;r5;");
}

// After an Assign the logs share records until either changes one; whichever side changes,
// the other keeps what it had, and sorting finds every change of order.
TEST(TimeLogReferences, ChangesToSharedRecordsStayOnTheirSide)
{
    const struct {
        const char* name;
        std::function<void(TimeLog&)> change;
    } changes[] = {
        {"append", [](TimeLog& log) { log.Append("New", "", {}, {}); }},
        {"insert", [](TimeLog& log) { log.InsertAt(1, "New", "", {}, {}); }},
        {"remove", [](TimeLog& log) { log.RemoveAt(0); }},
        {"clear", [](TimeLog& log) { log.Clear(); }},
        {"sort", [](TimeLog& log) { log.SortByTime(); }},
        {"open a record", [](TimeLog& log) { log.Current(true)->project = "Open"; }},
        {"write a record", [](TimeLog& log) { log.At(1).project = "Written"; }},
        {"assign an empty log", [](TimeLog& log) { log.Assign(TimeLog()); }},
    };
    for (const auto& c : changes) {
        for (const bool changeTheCopy : {true, false}) {
            TimeLog source;
            source.Append("B", "", Day(2), Day(3));
            source.Append("A", "", Day(1), Day(2));
            TimeLog copy;
            copy.Assign(source);
            c.change(changeTheCopy ? copy : source);
            EXPECT_EQ(Projects(changeTheCopy ? source : copy), "B;A;")
                << c.name << (changeTheCopy ? " on the copy" : " on the source");
        }
    }
}

TEST(TimeLogReferences, SortingFindsAStartChangedThroughAHeldReference)
{
    TimeLog log;
    for (int day = 1; day <= 4; ++day) log.Append("r" + std::to_string(day), "", Day(day), {});
    TimeRecord& first = log.At(0);
    log.SortByTime();  // in order: nothing moves
    first.start = Day(20);
    log.SortByTime();
    EXPECT_EQ(Projects(log), "r2;r3;r4;r1;");

    TimeLog copy;  // found in order while copied; a record handed out afterwards may change that
    copy.Assign(log);
    copy.At(0).start = Day(30);
    copy.SortByTime();
    EXPECT_EQ(Projects(copy), "r3;r4;r1;r2;");
}

}  // namespace
}  // namespace ambrin
