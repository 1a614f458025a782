#include "core/LogMerge.h"

#include "core/TimeLog.h"
#include "storage/ConflictCopies.h"
#include "support/FakeClock.h"
#include "support/RowName.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

const ClockTime k900 = MakeTime(2026, 12, 7, 9, 0);
const ClockTime k930 = MakeTime(2026, 12, 7, 9, 30);
const ClockTime k1000 = MakeTime(2026, 12, 7, 10, 0);

struct MergeCase {
    std::string name;
    std::vector<TimeRecord> ours, theirs, merged;
};

void PrintTo(const MergeCase& row, std::ostream* os)
{
    *os << row.name;
}

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
        {"the file's minute and memory's seconds are one record", {{"Calls", "", k900, MakeTime(2026, 12, 7, 9, 30, 42)}},
         {{"Calls", "", k900, k930}}, {{"Calls", "", k900, MakeTime(2026, 12, 7, 9, 30, 42)}}},
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
        TimeLog log, other;
        for (const TimeRecord& r : oursFirst ? c.ours : c.theirs) log.AppendCopy(r);
        for (const TimeRecord& r : oursFirst ? c.theirs : c.ours) other.AppendCopy(r);
        MergeLogs(log, other);
        ASSERT_EQ(log.Count(), c.merged.size()) << (oursFirst ? "ours first" : "theirs first");
        for (std::uint32_t i = 0; i < log.Count(); ++i) EXPECT_EQ(log.View(i), c.merged[i]) << "record " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Merges, MergeLogsTable, ::testing::ValuesIn(MergeCases()), test::ByRowName());

TEST(ConflictCopies, RecognisesWhatSyncEnginesWriteAndNothingElse)
{
    struct Row {
        const char* name;
        bool copy;
    };
    for (const Row& row : std::vector<Row>{
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
         }) {
        EXPECT_EQ(IsConflictCopy(row.name, "current log", ".csv"), row.copy) << row.name;
    }
    EXPECT_TRUE(IsConflictCopy("projects.sync-conflict-20261207-101500-ABCDEFG.txt", "projects", ".txt"));
}

}  // namespace
}  // namespace ambrin
