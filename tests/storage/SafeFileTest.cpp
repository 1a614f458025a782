#include "platform/FileSystem.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ambrin {
namespace {

namespace fs = std::filesystem;
using platform::FileFault;
using platform::ReplaceResult;

class SafeFile : public ::testing::Test {
protected:
    void TearDown() override { platform::InjectFileFault(FileFault::None); }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    test::TempHome home_;
    std::string folder_ = home_.Path() + "/Logs";
    std::string target_ = folder_ + "/current log.csv";
    bool made_ = fs::create_directory(folder_);
};

#ifndef _WIN32  // modes, links and folder rights are POSIX matters here
TEST_F(SafeFile, ReplacesAndKeepsPermissions)
{
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::Replaced);
    EXPECT_EQ(test::FileBytes(target_), "new");
    chmod(target_.c_str(), 0640);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "newer"), ReplaceResult::Replaced);
    EXPECT_EQ(test::FileBytes(target_), "newer");
    struct stat st {};
    stat(target_.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}
#endif

#ifndef _WIN32  // modes, links and folder rights are POSIX matters here
TEST_F(SafeFile, ReplacesWhereALinkPoints)
{
    test::WriteBytes(folder_ + "/real.csv", "old");
    fs::create_symlink("real.csv", target_);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::Replaced);
    EXPECT_TRUE(fs::is_symlink(target_));
    EXPECT_EQ(test::FileBytes(folder_ + "/real.csv"), "new");
}
#endif

TEST_F(SafeFile, FailuresLeaveTheOldFileWhole)
{
    const std::pair<FileFault, ReplaceResult> faults[] = {
        {FileFault::CreateFails, ReplaceResult::CannotCreate},
        {FileFault::WriteFails, ReplaceResult::WriteFailed},
        {FileFault::SyncFails, ReplaceResult::WriteFailed},
        {FileFault::RenameFails, ReplaceResult::WriteFailed},
    };
    test::WriteBytes(target_, "old");
    for (const auto& [fault, result] : faults) {
        platform::InjectFileFault(fault);
        EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), result);
        EXPECT_EQ(test::FileBytes(target_), "old");
        EXPECT_EQ(Entries(), std::vector<std::string>{"current log.csv"}) << "no temporary left";
    }
}

#ifndef _WIN32  // modes, links and folder rights are POSIX matters here
TEST_F(SafeFile, ReadOnlyFileIsNotReplaced)
{
    test::WriteBytes(target_, "old");
    chmod(target_.c_str(), 0444);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::CannotCreate);
    EXPECT_EQ(test::FileBytes(target_), "old");
    fs::create_directory(folder_ + "/folder");
    EXPECT_EQ(platform::ReplaceFileContents(folder_ + "/folder", "x"), ReplaceResult::CannotCreate);
}
#endif

#ifndef _WIN32  // modes, links and folder rights are POSIX matters here
TEST_F(SafeFile, UnwritableFolder)
{
    if (test::RunningAsRoot()) GTEST_SKIP() << "root writes into any folder";
    test::WriteBytes(target_, "old");
    chmod(folder_.c_str(), 0555);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::CannotCreate);
    chmod(folder_.c_str(), 0755);
    EXPECT_EQ(test::FileBytes(target_), "old");
}
#endif

TEST_F(SafeFile, CrashBeforeRenameLeavesOldFileAndATemporaryRemovedLater)
{
    test::WriteBytes(target_, "old");
    test::WriteBytes(folder_ + "/.current log.csv.tmp-abc", "not ours: wrong length");
    test::WriteBytes(folder_ + "/.projects.txt.tmp-abcdef", "another target's");
    platform::InjectFileFault(FileFault::CrashBeforeRename);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::WriteFailed);
    platform::InjectFileFault(FileFault::None);
    EXPECT_EQ(test::FileBytes(target_), "old");
    EXPECT_EQ(Entries().size(), 4u);

    platform::RemoveStaleTemporaries(target_);
    EXPECT_EQ(Entries(), (std::vector<std::string>{".current log.csv.tmp-abc",
                                                   ".projects.txt.tmp-abcdef", "current log.csv"}));
}

}  // namespace
}  // namespace ambrin
