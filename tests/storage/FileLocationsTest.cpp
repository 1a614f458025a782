#include "storage/FileLocations.h"

#include "platform/FileSystem.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

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

// The files and the help file lie in the application folder, its Logs folder made on the way.
TEST(FileLocations, FollowTheAppFolderSetting)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // name, the setting under home (nullptr: none), the application folder under home
        {"no setting: the default", nullptr, "/Ambrin"},
        {"empty means absent", "", "/Ambrin"},
        {"without a separator", "/Time", "/Time"},
        {"with a separator", "/Time/", "/Time"},
    };
    for (const auto& [name, setting, folder] : cases) {
        test::TempHome home;
        if (setting) SetAppFolder(home, *setting ? home.Path() + setting : "");
        FileLocations locations;
        const std::string logs = home.Path() + folder + "/Logs";
        EXPECT_EQ(locations.CurrentLogPath(), logs + "/current log.csv") << name;
        EXPECT_EQ(locations.ProjectListPath(), logs + "/projects.txt") << name;
        EXPECT_TRUE(fs::is_directory(logs)) << name;
        EXPECT_EQ(HelpFilePath(), home.Path() + folder + "/Ambrin.hlp") << name;
    }
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

// Input no one should give: shell syntax in the application folder, which the help opens.
TEST(BadInput, ShellMetacharactersInPathsReachNoShell)
{
    test::TempHome home;
    const std::string folder =
        home.Path() + "/$(touch pwned); `touch pwned2` | touch pwned3 & 'x\"";
    SetAppFolder(home, folder.substr(0, folder.size() - 1) + "\\\"");  // the quote escaped
    FileLocations locations;
    EXPECT_EQ(locations.LogFolder(), folder + "/Logs");
    EXPECT_TRUE(fs::is_directory(folder + "/Logs"));
    test::WriteBytes(folder + "/Ambrin.hlp", "help");
    std::string path;
    LaunchHelp(path);  // xdg-open may be missing; either way no shell reads the path
    EXPECT_EQ(path, folder + "/Ambrin.hlp");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const char* name : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(fs::exists(home.Path() + "/" + name)) << name;
        EXPECT_FALSE(fs::exists(name)) << name;
    }
}

}  // namespace
}  // namespace ambrin
