// The log among other programs: a script or a spreadsheet that changes it, a sync engine's
// conflict copies, a file that is not a log at all.
#include "storage/LogFiles.h"

#include "core/TimeLog.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"
#include "support/FakeClock.h"
#include "support/RowName.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ambrin {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::MakeTime;
using test::WriteBytes;

struct Files {
    Files() { files.Load(locations.CurrentLogPath(), locations.ProjectListPath()); }
    std::string LogPath() { return locations.CurrentLogPath(); }
    std::string Folder() { return locations.LogFolder(); }
    FileLocations locations;
    TimeLog log;
    ProjectList projects;
    LogFiles files{locations, log, projects};
};

const std::string kAccounts = "\"12-7-2026 9:00\",\"\",\"Accounts\",\"\"\r\n";
const std::string kScript = "\"12-6-2026 8:00\",\"12-6-2026 8:30\",\"Script\",\"\"\r\n";

TEST(SharedLog, AChangeByAnotherProgramIsKeptUnderOurs)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 7, 9, 30));
    WriteBytes(Files().LogPath(), kAccounts);
    Files f;
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

TEST(SharedLog, WhileNothingWaitsTheFileIsShownAsItIs)
{
    test::TempHome home;
    WriteBytes(Files().LogPath(), kAccounts);
    Files f;
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

TEST(SharedLog, ConflictCopiesAreMergedOnceAndPutAway)
{
    test::TempHome home;
    WriteBytes(Files().LogPath(), kAccounts);
    Files f;
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

struct NotALog {
    std::string name;
    std::string bytes;
};

void PrintTo(const NotALog& row, std::ostream* os)
{
    *os << row.name;
}

class FileThatIsNotALog : public ::testing::TestWithParam<NotALog> {};

TEST_P(FileThatIsNotALog, IsKeptAsideAndTold)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 7, 9, 0));
    WriteBytes(Files().LogPath(), GetParam().bytes);
    Files f;
    ASSERT_EQ(f.files.SetAside().size(), 1u);
    EXPECT_EQ(f.files.SetAside()[0].path, f.LogPath());
    EXPECT_EQ(f.log.Count(), 0u);
    f.log.Append("Today", "", MakeTime(2026, 12, 7, 9, 0), {});
    f.files.Save(false);
    EXPECT_EQ(FileBytes(f.LogPath() + ".unreadable-20261207-090000"), GetParam().bytes);
    EXPECT_EQ(FileBytes(f.LogPath()), "\"12-7-2026 9:00\",\"\",\"Today\",\"\"\r\n");
}

INSTANTIATE_TEST_SUITE_P(Files, FileThatIsNotALog,
                         ::testing::Values(NotALog{"random bytes", "\x8f\x13zq\xff\x01\x9c\n\x04\xe2#%\n"},
                                           NotALog{"UTF-16", std::string("\xff\xfe\"\0001\0002\0-\0", 10)},
                                           NotALog{"NULs", std::string(4096, '\0')}),
                         test::ByRowName());

TEST(SharedLog, TheDaysCopyIsTheOldFileAndHalfMadeCopiesGo)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2026, 12, 7, 9, 0));
    WriteBytes(Files().LogPath(), kAccounts);
    const std::string stale = Files().Folder() + "/Backups/.current log 2026-12-06.csv.tmp-AbC123";
    WriteBytes(stale, "half");
    Files f;
    EXPECT_FALSE(fs::exists(stale));
    struct stat before {}, copy {};
    ASSERT_EQ(::stat(f.LogPath().c_str(), &before), 0);
    f.log.Append("Website", "", MakeTime(2026, 12, 7, 9, 30), {});
    f.files.Save(false);
    ASSERT_EQ(::stat((f.Folder() + "/Backups/current log 2026-12-07.csv").c_str(), &copy), 0);
    EXPECT_EQ(copy.st_ino, before.st_ino) << "a second name for the old file, not a copy of its bytes";
    EXPECT_EQ(FileBytes(f.Folder() + "/Backups/current log 2026-12-07.csv"), kAccounts);
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

}  // namespace
}  // namespace ambrin
