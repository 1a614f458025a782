#include "storage/FileLocations.h"

#include "platform/FileSystem.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ambrin {
namespace {

namespace fs = std::filesystem;

void SetAppFolder(const test::TempHome& home, const std::string& folder)
{
    test::WriteBytes(home.HivePath(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Velmora Software\\Ambrin]\r\n"
                                      "\"AppFolder\"=\"" + folder + "\"\r\n");
}

TEST(JoinPath, AddsTheSeparatorOnlyWhenNeeded)
{
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Work\\", "D:\\Work\\Logs"},
        {"D:/Work/", "D:/Work/Logs"},
        {"/home/ann/Time", "/home/ann/Time/Logs"},
        {"", "/Logs"},
        {"a//b", "a//b/Logs"},
    };
    for (const auto& [path, expected] : cases) {
        std::string joined = path;
        JoinPath(joined, "Logs");
        EXPECT_EQ(joined, expected) << path;
    }
}

TEST(FileLocations, DefaultFolderIsInHomeAndMadeOnTheWay)
{
    test::TempHome home;
    FileLocations locations;
    EXPECT_EQ(locations.CurrentLogPath(), home.Path() + "/Ambrin/Logs/current log.csv");
    EXPECT_EQ(locations.ProjectListPath(), home.Path() + "/Ambrin/Logs/projects.txt");
    EXPECT_TRUE(fs::is_directory(home.Path() + "/Ambrin/Logs"));
    EXPECT_EQ(HelpFilePath(), home.Path() + "/Ambrin/Ambrin.hlp");
}

TEST(FileLocations, AppFolderSettingWithOrWithoutSeparator)
{
    for (const char* suffix : {"", "/"}) {
        test::TempHome home;
        SetAppFolder(home, home.Path() + "/Time" + suffix);
        FileLocations locations;
        EXPECT_EQ(locations.CurrentLogPath(), home.Path() + "/Time/Logs/current log.csv");
        EXPECT_EQ(HelpFilePath(), home.Path() + "/Time/Ambrin.hlp");
    }
    test::TempHome home;
    SetAppFolder(home, "");
    EXPECT_EQ(FileLocations().LogFolder(), home.Path() + "/Ambrin/Logs") << "empty means absent";
}

TEST(FileLocations, FolderFailuresAreIgnoredAndPathsReturned)
{
    test::TempHome home;
    SetAppFolder(home, home.Path() + "/missing/parent/Time");
    FileLocations locations;
    EXPECT_EQ(locations.LogFolder(), home.Path() + "/missing/parent/Time/Logs");
    EXPECT_FALSE(fs::exists(home.Path() + "/missing"));

    test::WriteBytes(home.Path() + "/file", "x");
    SetAppFolder(home, home.Path() + "/file");
    EXPECT_EQ(locations.ProjectListPath(), home.Path() + "/file/Logs/projects.txt");
    EXPECT_EQ(test::FileBytes(home.Path() + "/file"), "x");
}

TEST(FileLocations, HelpLaunchFailsForAMissingFile)
{
    test::TempHome home;
    std::string path;
    EXPECT_FALSE(LaunchHelp(path));
    EXPECT_EQ(path, home.Path() + "/Ambrin/Ambrin.hlp");
    EXPECT_FALSE(fs::exists(home.Path() + "/Ambrin")) << "help makes no folder";
}

}  // namespace
}  // namespace ambrin
