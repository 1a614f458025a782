// "ambrin --report": where the time went, printed without a window.
#include "app/ReportCommand.h"

#include "core/TimeLog.h"
#include "storage/FileLocations.h"
#include "support/FakeClock.h"
#include "support/RowName.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace ambrin {
namespace {

using test::MakeTime;

const std::string kLog = "\"12-7-2026 9:05\",\"12-7-2026 10:47\",\"Website redesign\",\"\"\r\n"
                         "\"12-7-2026 10:47\",\"12-7-2026 11:00\",\"Accounts\",\"\"\r\n"
                         "\"12-8-2026 9:00\",\"12-8-2026 8:00\",\"Backwards\",\"\"\r\n"
                         "\"12-7-2026 11:00\",\"\",\"Accounts\",\"\"\r\n";

struct ReportCase {
    std::string name;
    std::vector<std::string> args;
    int status;
    std::string out;  // whole, or for a bad argument: the start of the message
};

void PrintTo(const ReportCase& row, std::ostream* os)
{
    *os << row.name;
}

std::vector<ReportCase> ReportCases()
{
    const std::string week = "2026-12-07  2026-12-08  2026-12-09  2026-12-10  2026-12-11  2026-12-12  2026-12-13";
    return {
        {"this week by day as a table", {"--report"}, 0,
         "Project           " + week + "  Total\n"
         "Accounts                0:43" + std::string(75, ' ') + "0:43\n"
         "Website redesign        1:42" + std::string(75, ' ') + "1:42\n"
         "Total                   2:25        0:00        0:00        0:00        0:00        0:00        0:00   2:25\n"
         "1 records skipped: they end before they start.\n"},
        {"csv, every field quoted", {"--report", "--csv"}, 0,
         "\"2026-12-07\",\"Accounts\",\"0.72\",\"2580\"\r\n\"2026-12-07\",\"Website redesign\",\"1.70\",\"6120\"\r\n"},
        {"json by month from a start to today", {"--report", "--from", "2026-11-30", "--by", "month", "--json"}, 0,
         "{\"from\": \"2026-11-30\", \"to\": \"2026-12-07\", \"by\": \"month\", \"rows\": [\n"
         "  {\"period\": \"2026-12\", \"project\": \"Accounts\", \"seconds\": 2580},\n"
         "  {\"period\": \"2026-12\", \"project\": \"Website redesign\", \"seconds\": 6120}\n"
         "], \"total_seconds\": 8700, \"skipped\": 1}\n"},
        {"an empty range", {"--report", "--from", "2026-12-01", "--to", "2026-12-01", "--json"}, 0,
         "{\"from\": \"2026-12-01\", \"to\": \"2026-12-01\", \"by\": \"day\", \"rows\": [], \"total_seconds\": 0, "
         "\"skipped\": 1}\n"},
        {"a grouping it does not know", {"--report", "--by", "year"}, 2, "ambrin: --by wants day, week or month"},
        {"a date that does not exist", {"--report", "--to", "2026-02-29"}, 2, "ambrin: --to wants a date"},
        {"an end before the start", {"--report", "--from", "2026-12-07", "--to", "2026-12-01"}, 2, "ambrin: --to 2026-12-01 comes before"},
        {"a value missing", {"--report", "--from"}, 2, "ambrin: --from needs a value"},
        {"two forms", {"--report", "--csv", "--json"}, 2, "ambrin: --csv and --json cannot"},
        {"an unknown argument", {"--report", "--weekly"}, 2, "ambrin: unknown argument \"--weekly\""},
        {"status as a line", {"--status"}, 0, "Accounts  0:30  (today 2:25)\n"},
        {"status as JSON", {"--status", "--json"}, 0,
         "{\"project\": \"Accounts\", \"running\": true, \"since\": \"2026-12-07T11:00:00\", \"elapsed_seconds\": 1800, "
         "\"today_seconds\": 8700}\n"},
        {"status with an argument it does not know", {"--status", "--csv"}, 2, "ambrin: unknown argument \"--csv\""},
    };
}

class Report : public ::testing::TestWithParam<ReportCase> {
protected:
    test::TempHome home_;
    test::FakeClock clock_{MakeTime(2026, 12, 7, 11, 30, 0)};
};

TEST_P(Report, PrintsTheFormOrSaysWhatIsWrong)
{
    const ReportCase& row = GetParam();
    const std::string log = home_.Path() + "/current log.csv";
    test::WriteBytes(log, kLog);
    std::vector<std::string> args{"ambrin"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunReport(args, log, out, err), row.status) << err.str();
    if (row.status == 0) {
        EXPECT_EQ(out.str(), row.out);
    } else {
        EXPECT_EQ(err.str().rfind(row.out, 0), 0u) << err.str();
        EXPECT_NE(err.str().find("usage: ambrin"), std::string::npos) << "the usage follows";
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, Report, ::testing::ValuesIn(ReportCases()), test::ByRowName());

// The real program, with no display: it prints, writes nothing and makes no folder.
TEST(ReportProgram, ReadsTheLogWithoutAWindowAndChangesNothing)
{
    test::TempHome home;
    const std::string folder = home.Path() + "/Ambrin/Logs";
    std::filesystem::create_directories(folder);
    test::WriteBytes(folder + "/current log.csv", kLog);
    // The data and the settings; the runtime folder holds only what every running copy holds.
    const auto listing = [&home] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home.Path())) {
            if (entry.path().string().rfind(home.Path() + "/run", 0) != 0) names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto before = listing();
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " AMBRIN_EXE
                                " --report --from 2026-12-07 --to 2026-12-07 --csv 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    EXPECT_EQ(pclose(pipe), 0) << out;
    EXPECT_NE(out.find("\"2026-12-07\",\"Website redesign\",\"1.70\",\"6120\""), std::string::npos) << out;
    EXPECT_EQ(listing(), before) << "no lock, no folder, no file";

    std::filesystem::remove(folder + "/current log.csv");
    std::filesystem::create_directory(folder + "/current log.csv");  // a folder in the log's place
    pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    out.clear();
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 1) << out;
    EXPECT_NE(out.find("could not read the log"), std::string::npos) << out;
}

}  // namespace
}  // namespace ambrin
