#include "core/ProjectSwitch.h"

#include "core/TimeLog.h"
#include "support/FakeClock.h"
#include "support/RowName.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

struct SwitchCase {
    std::string name;
    std::vector<TimeRecord> before;
    std::string chosen;
    ClockTime at;
    bool round;
    bool changed;
    std::vector<TimeRecord> after;
};

// Rows print as their names (gtest would dump their bytes, padding included).
void PrintTo(const SwitchCase& row, std::ostream* os)
{
    *os << row.name;
}

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
    TimeLog log;
    for (const TimeRecord& record : c.before) log.AppendCopy(record);
    EXPECT_EQ(SwitchProject(log, c.chosen, c.at, c.round), c.changed);
    ASSERT_EQ(log.Count(), c.after.size());
    for (std::uint32_t i = 0; i < log.Count(); ++i) EXPECT_EQ(log.View(i), c.after[i]) << "record " << i;
}

INSTANTIATE_TEST_SUITE_P(Switches, ProjectSwitch, ::testing::ValuesIn(SwitchCases()),
                         test::ByRowName());

}  // namespace
}  // namespace ambrin
