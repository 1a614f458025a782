#include "platform/FileSystem.h"

#include "support/SystemCallFaults.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ambrin {
namespace {

namespace fs = std::filesystem;
using platform::ReplaceResult;

class SafeFile : public ::testing::Test {
protected:
    std::vector<std::string> Entries() const { return test::FolderNames(folder_); }
    test::TempHome home_;
    std::string folder_ = home_.Path() + "/Logs";
    std::string target_ = folder_ + "/current log.csv";
    bool made_ = fs::create_directory(folder_);
};

TEST_F(SafeFile, ReplacesAndLeavesNoTemporary)
{
    test::WriteBytes(target_, "old");
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::Replaced);
    EXPECT_EQ(test::FileBytes(target_), "new");
    EXPECT_EQ(Entries(), std::vector<std::string>{"current log.csv"});
    fs::create_directory(folder_ + "/folder");
    EXPECT_EQ(platform::ReplaceFileContents(folder_ + "/folder", "x"), ReplaceResult::CannotCreate);
}

TEST_F(SafeFile, LeftoverTemporariesOfThatTargetAloneAreRemoved)
{
    test::WriteBytes(target_, "old");
    for (const char* name : {".current log.csv.tmp-abcdef", ".current log.csv.tmp-abc", ".projects.txt.tmp-abcdef"}) {
        test::WriteBytes(folder_ + "/" + name, "left by a crash");
    }
    platform::RemoveStaleTemporaries(target_);
    EXPECT_EQ(Entries(), (std::vector<std::string>{".current log.csv.tmp-abc", ".projects.txt.tmp-abcdef",
                                                   "current log.csv"}))
        << "not ours: another length, another target";
}

#ifndef _WIN32  // modes, links, folder rights and injected faults are POSIX matters here
TEST_F(SafeFile, FailuresLeaveTheOldFileWhole)
{
    const std::pair<test::SystemCall, ReplaceResult> faults[] = {
        {test::SystemCall::Open, ReplaceResult::CannotCreate},
        {test::SystemCall::Write, ReplaceResult::WriteFailed},
        {test::SystemCall::Sync, ReplaceResult::WriteFailed},
        {test::SystemCall::Rename, ReplaceResult::WriteFailed},
    };
    test::WriteBytes(target_, "old");
    for (const auto& [call, result] : faults) {
        const test::InjectedFault fault(call, ENOSPC);
        EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), result);
        EXPECT_EQ(test::FileBytes(target_), "old");
        EXPECT_EQ(Entries(), std::vector<std::string>{"current log.csv"}) << "no temporary left";
    }
}

TEST_F(SafeFile, KeepsPermissionsAndReplacesWhereALinkPoints)
{
    test::WriteBytes(folder_ + "/real.csv", "old");
    chmod((folder_ + "/real.csv").c_str(), 0640);
    fs::create_symlink("real.csv", target_);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::Replaced);
    EXPECT_TRUE(fs::is_symlink(target_));
    EXPECT_EQ(test::FileBytes(folder_ + "/real.csv"), "new");
    struct stat st {};
    stat((folder_ + "/real.csv").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SafeFile, WhatMayNotBeWrittenIsNotReplaced)
{
    test::WriteBytes(target_, "old");
    chmod(target_.c_str(), 0444);
    EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::CannotCreate) << "read-only, root too";
    chmod(target_.c_str(), 0644);
    if (!test::RunningAsRoot()) {  // root writes into any folder
        chmod(folder_.c_str(), 0555);
        EXPECT_EQ(platform::ReplaceFileContents(target_, "new"), ReplaceResult::CannotCreate);
        chmod(folder_.c_str(), 0755);
    }
    EXPECT_EQ(test::FileBytes(target_), "old");
}
#endif

}  // namespace
}  // namespace ambrin
