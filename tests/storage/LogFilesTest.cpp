#include "storage/LogFiles.h"

#include "core/TimeLog.h"
#include "platform/FileSystem.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"
#include "support/FakeClock.h"
#include "support/KillTestData.h"
#include "support/LogGenerator.h"
#include "support/SystemCallFaults.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace ambrin {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::MakeTime;

struct Files {
    void Load() { files.Load(locations.CurrentLogPath(), locations.ProjectListPath()); }
    FileLocations locations;
    TimeLog log;
    ProjectList projects;
    LogFiles files{locations, log, projects};
};

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names = platform::ListFolder(folder);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(LogFiles, ADailyCopyBeforeTheDaysFirstSaveAndThirtyKept)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 6, 9, 0));
    Files f;
    const std::string backups = f.locations.LogFolder() + "/Backups";
    f.log.Append("Yesterday", "", MakeTime(2026, 12, 5, 9, 0), {});
    f.files.Save(false);
    EXPECT_FALSE(fs::exists(backups)) << "nothing to copy before the first file exists";

    Files again;  // the next start, the next day
    clock.Set(MakeTime(2026, 12, 7, 8, 0));
    again.Load();
    const std::string before = FileBytes(again.locations.CurrentLogPath());
    again.log.Append("Today", "", MakeTime(2026, 12, 7, 8, 0), {});
    again.files.Save(false);
    again.log.At(1).notes = "later";
    again.files.Save(false);
    EXPECT_EQ(FileBytes(backups + "/current log 2026-12-07.csv"), before)
        << "the copy holds the log as it was before the day's first save";

    for (int day = 1; day <= 31; ++day) {
        test::WriteBytes(backups + "/current log 2026-10-" + (day < 10 ? "0" : "") + std::to_string(day) + ".csv", "old");
    }
    test::WriteBytes(backups + "/notes of mine.txt", "kept");
    clock.Set(MakeTime(2026, 12, 8, 8, 0));
    again.files.Save(false);
    const std::vector<std::string> names = Names(backups);
    EXPECT_EQ(names.size(), 31u) << "30 copies and the user's own file";
    EXPECT_EQ(names.front(), "current log 2026-10-04.csv");
    EXPECT_EQ(names[29], "current log 2026-12-08.csv");
    EXPECT_EQ(names.back(), "notes of mine.txt");
}

TEST(LogFiles, ADailyCopyThatFailedIsTriedAgainAtTheNextSave)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 7, 9, 0));
    Files f;
    test::WriteBytes(f.locations.CurrentLogPath(), "\"12-6-2026 9:00\",\"\",\"Yesterday\",\"\"\r\n");
    const std::string blocker = f.locations.LogFolder() + "/Backups";
    test::WriteBytes(blocker, "a file where the folder goes");
    f.Load();
    f.files.Save(false);
    fs::remove(blocker);
    f.files.Save(false);
    EXPECT_TRUE(fs::exists(blocker + "/current log 2026-12-07.csv")) << "the same day, once the folder can be made";
}

#ifndef _WIN32  // faults are injected through wrapped POSIX calls
TEST(LogFiles, FailedSavesLeaveThePreviousFilesWhole)
{
    test::TempHome home;
    Files f;
    f.log.Append("Kept", "", MakeTime(2005, 3, 7, 9, 0), {});
    f.projects.AddName("Kept");
    f.files.Save(false);
    const std::string log = FileBytes(f.locations.CurrentLogPath());
    const std::string list = FileBytes(f.locations.ProjectListPath());
    f.log.At(0).project = "Changed";
    f.projects.AddName("Changed");
    for (const auto call : {test::SystemCall::Open, test::SystemCall::Write, test::SystemCall::Sync,
                            test::SystemCall::Rename}) {
        const test::InjectedFault fault(call, ENOSPC);
        const std::optional<SaveProblem> problem = f.files.Save(false);
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->reason.find("No space left on device"), std::string::npos) << problem->reason;
        EXPECT_TRUE(f.files.Unsaved());
        EXPECT_EQ(FileBytes(f.locations.CurrentLogPath()), log);
        EXPECT_EQ(FileBytes(f.locations.ProjectListPath()), list);
    }
    EXPECT_EQ(Names(f.locations.LogFolder()), (std::vector<std::string>{"current log.csv", "projects.txt"}));
}

// A log that cannot be read at start, small or large enough to be read in parts, is moved
// aside before the first save and never overwritten; the program goes on.
TEST(LogFiles, ALogThatCannotBeReadIsMovedAsideWhateverItsSize)
{
    for (const std::size_t records : {10u, 30'000u}) {
        test::TempHome home;
        test::FakeClock clock(MakeTime(2026, 12, 7, 9, 0));
        Files f;
        std::ostringstream bytes;
        test::GenerateLog(records).WriteCsv(bytes, false);
        test::WriteBytes(f.locations.CurrentLogPath(), bytes.str());
        {
            const test::InjectedFault fault(test::SystemCall::Read, EIO, static_cast<long long>(bytes.str().size() / 2));
            f.Load();
        }
        ASSERT_EQ(f.files.SetAside().size(), 1u);
        EXPECT_EQ(f.files.SetAside()[0].path, f.locations.CurrentLogPath());
        EXPECT_EQ(f.log.Count(), 0u);
        f.log.Append("Today", "", MakeTime(2026, 12, 7, 9, 0), {});
        f.files.Save(false);
        EXPECT_EQ(FileBytes(f.locations.CurrentLogPath() + ".unreadable-20261207-090000"), bytes.str());
        EXPECT_EQ(FileBytes(f.locations.CurrentLogPath()), "\"12-7-2026 9:00\",\"\",\"Today\",\"\"\r\n");
    }
}
#endif

TEST(LogFiles, FoldersThatCannotBeUsedLoseNothing)
{
    // The log folder is a file; the application folder's parent is missing.
    test::TempHome home;
    test::WriteBytes(home.Path() + "/Ambrin/Logs", "a file, not a folder");
    Files f;
    f.Load();
    f.log.Append("In memory", "", MakeTime(2005, 3, 7, 9, 0), {});
    f.files.Save(false);
    EXPECT_EQ(FileBytes(home.Path() + "/Ambrin/Logs"), "a file, not a folder");
    EXPECT_EQ(f.log.Count(), 1u);
}

TEST(KillDuringSave, EveryKillLeavesOneWholeVersion)
{
    test::TempHome home;
    FileLocations locations;
    std::string logs[2], lists[2];
    for (int version = 0; version < 2; ++version) {
        TimeLog log;
        ProjectList projects;
        test::FillKillTestVersion(version, log, projects);
        std::ostringstream logBytes, listBytes;
        log.WriteCsv(logBytes, version == 1);
        projects.WriteList(listBytes);
        logs[version] = logBytes.str();
        lists[version] = listBytes.str();
    }
    const std::string logPath = locations.CurrentLogPath();
    const std::string listPath = locations.ProjectListPath();

    std::mt19937 random(20051207);
    int midSave = 0;  // kills that left a temporary behind: they hit a save under way
    for (int kill = 0; kill < 200; ++kill) {
        char program[] = AMBRIN_SAVE_DRIVER;
        char* argv[] = {program, nullptr};
        pid_t pid = 0;
        fs::remove(home.Path() + "/saving");
        ASSERT_EQ(posix_spawn(&pid, program, nullptr, nullptr, argv, environ), 0);
        const std::string marker = home.Path() + (kill == 0 ? "/ready" : "/saving");
        for (int wait = 0; wait < 20000 && !fs::exists(marker); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(fs::exists(marker));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30'000));
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        const std::string log = FileBytes(logPath);
        const std::string list = FileBytes(listPath);
        ASSERT_TRUE(log == logs[0] || log == logs[1]) << "kill " << kill << ": a torn log of " << log.size();
        ASSERT_TRUE(list == lists[0] || list == lists[1]) << "kill " << kill;
        for (const std::string& name : Names(locations.LogFolder())) {
            if (name.find(".tmp-") != std::string::npos) {
                ++midSave;
                break;
            }
        }
    }
    EXPECT_GT(midSave, 5) << "the kills must land inside saves to prove anything";

    Files next;  // the next start removes what the killed saves left behind
    next.Load();
    for (const std::string& name : Names(locations.LogFolder())) {
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace ambrin
