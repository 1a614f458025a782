// The log and its project list on disk: daily copies, saves that fail or are killed, and the
// log among other programs (a script or a spreadsheet that changes it, a sync engine's conflict
// copies, a file that is not a log at all).
#include "storage/LogFiles.h"

#include "core/TimeLog.h"
#include "platform/FileSystem.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"
#include "support/FakeClock.h"
#include "support/KillTestData.h"
#include "support/LogGenerator.h"
#include "support/RowName.h"
#include "support/SystemCallFaults.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <optional>
#include <random>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace ambrin {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::FolderNames;
using test::MakeTime;
using test::WriteBytes;

struct Files {
    void Load() { files.Load(LogPath(), locations.ProjectListPath()); }
    std::string LogPath() { return locations.CurrentLogPath(); }
    std::string Folder() { return locations.LogFolder(); }
    FileLocations locations;
    TimeLog log;
    ProjectList projects;
    LogFiles files{locations, log, projects};
};

const std::string kAccounts = "\"12-7-2026 9:00\",\"\",\"Accounts\",\"\"\r\n";
const std::string kScript = "\"12-6-2026 8:00\",\"12-6-2026 8:30\",\"Script\",\"\"\r\n";

// The day's copy is a second name for the old file, made before the day's first save; copies
// half made when a save was cut short go at the next start; the newest thirty are kept.
TEST(LogFiles, ADailyCopyBeforeTheDaysFirstSaveAndThirtyKept)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 6, 9, 0));
    Files f;
    const std::string backups = f.Folder() + "/Backups";
    f.log.Append("Yesterday", "", MakeTime(2026, 12, 5, 9, 0), {});
    f.files.Save(false);
    EXPECT_FALSE(fs::exists(backups)) << "nothing to copy before the first file exists";

    const std::string halfMade = backups + "/.current log 2026-12-06.csv.tmp-AbC123";
    WriteBytes(halfMade, "half");
    Files again;  // the next start, the next day
    clock.Set(MakeTime(2026, 12, 7, 8, 0));
    again.Load();
    EXPECT_FALSE(fs::exists(halfMade));
    const std::string before = FileBytes(again.LogPath());
    struct stat old {}, copy {};
    ASSERT_EQ(::stat(again.LogPath().c_str(), &old), 0);
    again.log.Append("Today", "", MakeTime(2026, 12, 7, 8, 0), {});
    again.files.Save(false);
    again.log.At(1).notes = "later";
    again.files.Save(false);
    EXPECT_EQ(FileBytes(backups + "/current log 2026-12-07.csv"), before)
        << "the copy holds the log as it was before the day's first save";
    ASSERT_EQ(::stat((backups + "/current log 2026-12-07.csv").c_str(), &copy), 0);
    EXPECT_EQ(copy.st_ino, old.st_ino) << "a second name for the old file, not a copy of its bytes";

    for (int day = 1; day <= 31; ++day) {
        WriteBytes(backups + "/current log 2026-10-" + (day < 10 ? "0" : "") + std::to_string(day) + ".csv", "old");
    }
    WriteBytes(backups + "/notes of mine.txt", "kept");
    clock.Set(MakeTime(2026, 12, 8, 8, 0));
    again.files.Save(false);
    const std::vector<std::string> names = FolderNames(backups);
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
    WriteBytes(f.LogPath(), "\"12-6-2026 9:00\",\"\",\"Yesterday\",\"\"\r\n");
    const std::string blocker = f.Folder() + "/Backups";
    WriteBytes(blocker, "a file where the folder goes");
    f.Load();
    f.files.Save(false);
    fs::remove(blocker);
    f.files.Save(false);
    EXPECT_TRUE(fs::exists(blocker + "/current log 2026-12-07.csv")) << "the same day, once the folder can be made";
}

TEST(LogFiles, FailedSavesLeaveThePreviousFilesWhole)
{
    test::TempHome home;
    Files f;
    f.log.Append("Kept", "", MakeTime(2005, 3, 7, 9, 0), {});
    f.projects.AddName("Kept");
    f.files.Save(false);
    const std::string log = FileBytes(f.LogPath());
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
        EXPECT_EQ(FileBytes(f.LogPath()), log);
        EXPECT_EQ(FileBytes(f.locations.ProjectListPath()), list);
    }
    EXPECT_EQ(FolderNames(f.Folder()), (std::vector<std::string>{"current log.csv", "projects.txt"}));
}

struct Unreadable {
    std::string name;
    std::string bytes;
    std::size_t readFailsHalfWayIn = 0;  // records of a log whose read fails half way through
    friend void PrintTo(const Unreadable& row, std::ostream* os) { *os << row.name; }
};

class UnreadableLog : public ::testing::TestWithParam<Unreadable> {};

// A log that is no log, or that cannot be read at start (small, or large enough to be read in
// parts), is moved aside before the first save and never overwritten; the program goes on.
TEST_P(UnreadableLog, IsMovedAsideAndNeverOverwritten)
{
    const Unreadable& row = GetParam();
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 7, 9, 0));
    Files f;
    const std::string bytes = row.readFailsHalfWayIn ? test::GenerateCsv(row.readFailsHalfWayIn) : row.bytes;
    WriteBytes(f.LogPath(), bytes);
    {
        std::optional<test::InjectedFault> fault;
        if (row.readFailsHalfWayIn) fault.emplace(test::SystemCall::Read, EIO, static_cast<long long>(bytes.size() / 2));
        f.Load();
    }
    ASSERT_EQ(f.files.SetAside().size(), 1u);
    EXPECT_EQ(f.files.SetAside()[0].path, f.LogPath());
    EXPECT_EQ(f.log.Count(), 0u);
    f.log.Append("Today", "", MakeTime(2026, 12, 7, 9, 0), {});
    f.files.Save(false);
    EXPECT_EQ(FileBytes(f.LogPath() + ".unreadable-20261207-090000"), bytes);
    EXPECT_EQ(FileBytes(f.LogPath()), "\"12-7-2026 9:00\",\"\",\"Today\",\"\"\r\n");
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableLog,
                         ::testing::Values(Unreadable{"random bytes", "\x8f\x13zq\xff\x01\x9c\n\x04\xe2#%\n"},
                                           Unreadable{"UTF-16", std::string("\xff\xfe\"\0001\0002\0-\0", 10)},
                                           Unreadable{"NULs", std::string(4096, '\0')},
                                           Unreadable{"a read error", "", 10},
                                           Unreadable{"a read error in a log read in parts", "", 30'000}),
                         test::ByRowName());

TEST(LogFiles, FoldersThatCannotBeUsedLoseNothing)
{
    // The log folder is a file (a missing parent folder: FileLocations' own tests).
    test::TempHome home;
    WriteBytes(home.Path() + "/Ambrin/Logs", "a file, not a folder");
    Files f;
    f.Load();
    f.log.Append("In memory", "", MakeTime(2005, 3, 7, 9, 0), {});
    f.files.Save(false);
    EXPECT_EQ(FileBytes(home.Path() + "/Ambrin/Logs"), "a file, not a folder");
    EXPECT_EQ(f.log.Count(), 1u);
}

// The files read at 9:30, while a record of Accounts runs since 9:00.
class SharedLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteBytes(f.LogPath(), kAccounts);
        f.Load();
    }
    test::TempHome home;
    test::FakeClock clock{MakeTime(2026, 12, 7, 9, 30)};
    Files f;
};

TEST_F(SharedLog, AChangeByAnotherProgramIsKeptUnderOurs)
{
    WriteBytes(f.Folder() + "/projects.txt", "Accounts\r\n");
    f.files.Save(false);
    // A script adds a record and a name while the strip runs; then the person switches.
    WriteBytes(f.LogPath(), kScript + kAccounts);
    WriteBytes(f.Folder() + "/projects.txt", "Accounts\r\nScript\r\n");
    ASSERT_TRUE(f.files.ChangedOnDisk());
    f.log.At(0).end = MakeTime(2026, 12, 7, 9, 30);
    f.log.Append("Website", "", MakeTime(2026, 12, 7, 9, 30), {});
    f.projects.AddName("Website");
    ASSERT_FALSE(f.files.Save(false).has_value());
    EXPECT_EQ(FileBytes(f.LogPath()), kScript + "\"12-7-2026 9:00\",\"12-7-2026 9:30\",\"Accounts\",\"\"\r\n"
                                                "\"12-7-2026 9:30\",\"\",\"Website\",\"\"\r\n");
    EXPECT_EQ(FileBytes(f.Folder() + "/projects.txt"), "Accounts\r\nScript\r\nWebsite\r\n");
    EXPECT_FALSE(f.files.ChangedOnDisk());
}

TEST_F(SharedLog, WhileNothingWaitsTheFileIsShownAsItIs)
{
    EXPECT_FALSE(f.files.ReadAgain()) << "nothing changed";
    WriteBytes(f.LogPath(), "\"12-7-2026 9:00\",\"12-7-2026 9:45\",\"Accounts\",\"\"\r\n");
    ASSERT_TRUE(f.files.ReadAgain());
    ASSERT_EQ(f.log.Count(), 1u);
    EXPECT_EQ(f.log.View(0).end, MakeTime(2026, 12, 7, 9, 45)) << "a script ended the running record";

    fs::remove(f.LogPath());
    f.files.ReadAgain();
    EXPECT_EQ(f.log.Count(), 1u) << "a file gone is not read as empty";
    f.files.Save(false);
    EXPECT_EQ(FileBytes(f.LogPath()), "\"12-7-2026 9:00\",\"12-7-2026 9:45\",\"Accounts\",\"\"\r\n");
}

TEST_F(SharedLog, ConflictCopiesAreMergedOnceAndPutAway)
{
    const std::string copy = "current log.sync-conflict-20261207-101500-ABCDEFG.csv";
    const std::string listCopy = "projects (conflicted copy 2026-12-07 101500).txt";
    WriteBytes(f.Folder() + "/" + copy, kScript + kAccounts);
    WriteBytes(f.Folder() + "/" + listCopy, "Script\r\n");
    EXPECT_EQ(f.files.MergeConflictCopies(), (std::vector<std::string>{copy, listCopy}));
    f.files.Save(false);
    EXPECT_EQ(FileBytes(f.LogPath()), kScript + kAccounts);
    EXPECT_EQ(FileBytes(f.Folder() + "/projects.txt"), "Script\r\n");
    EXPECT_EQ(FileBytes(f.Folder() + "/Backups/" + copy), kScript + kAccounts) << "kept whole where the person can find it";
    EXPECT_FALSE(fs::exists(f.Folder() + "/" + copy));
    EXPECT_TRUE(f.files.MergeConflictCopies().empty());
}

// A second user on a shared folder sees the lock, whatever its file's mode, and learns whose it is.
TEST(SharedFolder, AnotherUsersLockIsInUseAndNamesItsOwner)
{
    if (!test::RunningAsRoot()) GTEST_SKIP() << "needs a second user";
    test::TempHome home;
    const std::string folder = home.Path() + "/shared";
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::all);
    const std::string path = folder + "/.ambrin.lock";
    for (const bool held : {true, false}) {
        fs::remove(path);
        std::optional<platform::ExclusiveFileLock> lock(std::in_place, path);
        ASSERT_EQ(lock->Status(), platform::ExclusiveFileLock::State::Held);
        if (!held) {
            lock.reset();
            fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);  // as an older copy left it
        }
        const pid_t child = fork();
        if (child == 0) {
            if (setuid(65534) != 0) _exit(2);  // nobody
            const platform::ExclusiveFileLock theirs(path);
            _exit(theirs.Status() == platform::ExclusiveFileLock::State::HeldElsewhere && theirs.Owner() == "root" ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << (held ? "held" : "a private file, not held");
    }
}

TEST(KillDuringSave, EveryKillLeavesOneWholeVersion)
{
    test::TempHome home;
    Files f;
    std::string logs[2], lists[2];
    for (int version = 0; version < 2; ++version) {  // each version as the driver saves it
        test::FillKillTestVersion(version, f.log, f.projects);
        f.files.Save(version == 1);
        logs[version] = FileBytes(f.LogPath());
        lists[version] = FileBytes(f.locations.ProjectListPath());
    }
    const auto temporaries = [&] {  // what saves under way leave in the log folder
        const std::vector<std::string> names = FolderNames(f.Folder());
        return std::count_if(names.begin(), names.end(), [](const std::string& name) {
            return name.find(".tmp-") != std::string::npos;
        });
    };

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

        const std::string log = FileBytes(f.LogPath());
        const std::string list = FileBytes(f.locations.ProjectListPath());
        ASSERT_TRUE(log == logs[0] || log == logs[1]) << "kill " << kill << ": a torn log";
        ASSERT_TRUE(list == lists[0] || list == lists[1]) << "kill " << kill;
        midSave += temporaries() > 0;
    }
    EXPECT_GT(midSave, 5) << "the kills must land inside saves to prove anything";

    Files next;  // the next start removes what the killed saves left behind
    next.Load();
    EXPECT_EQ(temporaries(), 0);
}

}  // namespace
}  // namespace ambrin
