// The log in memory: its open record, its order, its edits, the references it hands out, a
// change of project and the merge of two machines' logs.
#include "core/TimeLog.h"

#include "core/LogMerge.h"
#include "core/ProjectSwitch.h"
#include "storage/ConflictCopies.h"
#include "support/FakeClock.h"
#include "support/LogGenerator.h"
#include "support/RowName.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;
using test::ProjectsOf;
using test::RecordsOf;

ClockTime Day(int day)
{
    return MakeTime(2005, 3, day);
}

TimeLog LogOf(const std::vector<TimeRecord>& records)
{
    TimeLog log;
    for (const TimeRecord& record : records) log.AppendCopy(record);
    return log;
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
    EXPECT_EQ(ProjectsOf(log), "D;B;C;A;");
    EXPECT_EQ(log.Current(false), nullptr) << "only the last record can be open";
}

// A reference stays the record of its own log through every change but the record's removal,
// whatever copies are made of the log and whichever side is changed afterwards, and goes with
// the log when it is moved.
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
    log.InsertAt(log.Count(), "last", "", {}, {});
    log.AppendCopy(log.At(1));
    EXPECT_EQ(ProjectsOf(log), "new;r2;r4;r5;r3;last;r2;");
    EXPECT_EQ(&log.At(4), &third);
    EXPECT_EQ(third.notes, "written after the copy");
    EXPECT_EQ(fourth.notes, "changed in the log");
    EXPECT_EQ(ProjectsOf(copyOfCopy), "r1;r2;r3;changed in the copy;r5;");

    TimeLog moved(std::move(log));
    EXPECT_EQ(log.Count(), 0u) << "a log moved from is empty";
    EXPECT_EQ(&moved.At(4), &third);
    log = std::move(moved);
    EXPECT_EQ(moved.Count(), 0u);
    EXPECT_EQ(&log.At(4), &third);
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
            EXPECT_EQ(ProjectsOf(changeTheCopy ? source : copy), "B;A;")
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
    EXPECT_EQ(ProjectsOf(log), "r2;r3;r4;r1;");

    TimeLog copy;  // found in order while copied; a record handed out afterwards may change that
    copy.Assign(log);
    copy.At(0).start = Day(30);
    copy.SortByTime();
    EXPECT_EQ(ProjectsOf(copy), "r3;r4;r1;r2;");
}

struct SwitchCase {
    std::string name;
    std::vector<TimeRecord> before;
    std::string chosen;
    ClockTime at;
    bool round;
    bool changed;
    std::vector<TimeRecord> after;
    // Rows print as their names (gtest would dump their bytes, padding included).
    friend void PrintTo(const SwitchCase& row, std::ostream* os) { *os << row.name; }
};

const ClockTime k900 = MakeTime(2005, 3, 7, 9, 0);
const ClockTime k930 = MakeTime(2005, 3, 7, 9, 30);
const ClockTime k952 = MakeTime(2005, 3, 7, 9, 52, 30);
const ClockTime k1000 = MakeTime(2005, 3, 7, 10, 0);

std::vector<SwitchCase> SwitchCases()
{
    return {
        {"the running record ends where the next starts", {{"Accounts", "n", k900, {}}}, "Website", k930, false, true,
         {{"Accounts", "n", k900, k930}, {"Website", "", k930, {}}}},
        {"a blank record is reused with its notes", {{"", "kept", k900, {}}}, "Website", k930, false, true,
         {{"Website", "kept", k930, {}}}},
        {"an empty log gets its first record", {}, "Website", k930, false, true, {{"Website", "", k930, {}}}},
        {"the running name in another case changes nothing", {{"Accounts", "", k900, {}}}, "  ACCOUNTS ", k930, false,
         false, {{"Accounts", "", k900, {}}}},
        {"stray spaces of a name read from a file", {{" Accounts ", "", k900, {}}}, "Accounts", k930, false, false,
         {{" Accounts ", "", k900, {}}}},
        {"a typed name is trimmed", {{"Accounts", "", k900, {}}}, "  Website  ", k930, false, true,
         {{"Accounts", "", k900, k930}, {"Website", "", k930, {}}}},
        {"rounding gives both ends the same quarter hour", {{"Accounts", "", k900, {}}}, "Website", k952, true, true,
         {{"Accounts", "", k900, k1000}, {"Website", "", k1000, {}}}},
        {"idle is a record like any other", {{"Accounts", "", k900, {}}}, "<idle>", k930, false, true,
         {{"Accounts", "", k900, k930}, {"<idle>", "", k930, {}}}},
        {"an empty name opens a blank record", {{"Accounts", "", k900, {}}}, "", k930, false, true,
         {{"Accounts", "", k900, k930}, {"", "", k930, {}}}},
        {"a closed last record is not ended again", {{"Accounts", "", k900, k930}}, "Website", k1000, false, true,
         {{"Accounts", "", k900, k930}, {"Website", "", k1000, {}}}},
        {"a time before the running start is taken as it is", {{"Accounts", "", k930, {}}}, "Website", k900, false,
         true, {{"Accounts", "", k930, k900}, {"Website", "", k900, {}}}},
    };
}

class ProjectSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ProjectSwitch, WritesTheLogAsTheTableSays)
{
    test::FakeClock clock(MakeTime(2005, 3, 7, 8, 0));
    const SwitchCase& c = GetParam();
    TimeLog log = LogOf(c.before);
    EXPECT_EQ(SwitchProject(log, c.chosen, c.at, c.round), c.changed);
    EXPECT_EQ(RecordsOf(log), c.after);
}

INSTANTIATE_TEST_SUITE_P(Switches, ProjectSwitch, ::testing::ValuesIn(SwitchCases()),
                         test::ByRowName());

struct MergeCase {
    std::string name;
    std::vector<TimeRecord> ours, theirs, merged;
    friend void PrintTo(const MergeCase& row, std::ostream* os) { *os << row.name; }
};

std::vector<MergeCase> MergeCases()
{
    const TimeRecord a{"Accounts", "", k900, k930}, b{"Website", "", k930, {}}, bEnded{"Website", "", k930, k1000};
    const TimeRecord c{"Calls", "", k1000, {}};
    return {
        {"records of both, in time order", {a}, {c}, {a, c}},
        {"a record in both is kept once", {a, b}, {a, b}, {a, b}},
        {"a running record gives way to its ended version", {a, b}, {a, bEnded, c}, {a, bEnded, c}},
        {"other notes make another record", {a}, {{"Accounts", "call", k900, k930}}, {a, {"Accounts", "call", k900, k930}}},
        {"one side empty", {}, {a, b}, {a, b}},
        {"a running record of another project is kept", {b}, {{"Calls", "", k930, {}}}, {{"Calls", "", k930, {}}, b}},
        {"the file's minute and memory's seconds are one record", {{"Calls", "", k900, MakeTime(2005, 3, 7, 9, 30, 42)}},
         {{"Calls", "", k900, k930}}, {{"Calls", "", k900, MakeTime(2005, 3, 7, 9, 30, 42)}}},
        {"within a minute the running record is last", {{"Calls", "", k930, k930}, b}, {{"Admin", "", k930, k930}},
         {{"Admin", "", k930, k930}, {"Calls", "", k930, k930}, b}},
    };
}

class MergeLogsTable : public ::testing::TestWithParam<MergeCase> {};

// The merge of two machines' logs is the same whichever comes first, and loses nothing.
TEST_P(MergeLogsTable, GivesTheTablesLogEitherWayRound)
{
    const MergeCase& c = GetParam();
    for (const bool oursFirst : {true, false}) {
        TimeLog log = LogOf(oursFirst ? c.ours : c.theirs);
        MergeLogs(log, LogOf(oursFirst ? c.theirs : c.ours));
        EXPECT_EQ(RecordsOf(log), c.merged) << (oursFirst ? "ours first" : "theirs first");
    }
}

INSTANTIATE_TEST_SUITE_P(Merges, MergeLogsTable, ::testing::ValuesIn(MergeCases()), test::ByRowName());

TEST(ConflictCopies, RecognisesWhatSyncEnginesWriteAndNothingElse)
{
    const std::pair<const char*, bool> names[] = {
        {"current log.sync-conflict-20261207-101500-ABCDEFG.csv", true},
        {"current log (conflicted copy 2026-12-07 101500).csv", true},
        {"current log (Ann's conflicted copy 2026-12-07).csv", true},
        {"current log (Ann's conflicted copy 2026-12-07) (1).csv", true},
        {"current log.csv", false},
        {"current log 2026-12-07.csv", false},
        {"current log.sync-conflict-2026120-101500-ABCDEFG.csv", false},
        {"current log (copy).csv", false},
        {"current log (conflicted copy 2026-12-07 101500).txt", false},
        {"my current log (conflicted copy 2026-12-07 101500).csv", false},
        {"current log.csv.unreadable-20261207-101500", false},
    };
    for (const auto& [name, copy] : names) {
        EXPECT_EQ(IsConflictCopy(name, "current log", ".csv"), copy) << name;
    }
    EXPECT_TRUE(
        IsConflictCopy("projects.sync-conflict-20261207-101500-ABCDEFG.txt", "projects", ".txt"));
}

}  // namespace
}  // namespace ambrin
