// Input no one should give the readers, given anyway: nothing crashes, nothing is lost.
#include "platform/FileSystem.h"
#include "storage/CsvLog.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

namespace ambrin {
namespace {

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

TEST(BadInput, ReadersTakeAnyBytes)
{
    const std::string inputs[] = {
        "",
        RandomBytes(100'000, 1),
        std::string(1000, '\0'),
        "\xff\xfe\xc3\x28\xa0\xa1\xe2\x28\xa1,\"\xf0\x28\x8c\xbc\"\r\n",  // invalid UTF-8
        "\"3-7-2005 9:05\",\"\",\"A\",\"\"\r\"3-7-2005 9:06\",\"\",\"B\",\"\"\r",  // CR-only line ends
        std::string(50 * 1024 * 1024, 'x'),  // one 50 MB line
        "\"99999999999999999999-7-2005 9:05\",\"-1--1--1 -1:-1\",\"\\\\\\\"\"\",\r\n",
    };
    for (const std::string& input : inputs) {
        std::istringstream log(input);
        TimeLog records;
        EXPECT_TRUE(records.ReadCsv(log));
        std::ostringstream out;
        EXPECT_TRUE(records.WriteCsv(out, true));
        std::istringstream list(input);
        ProjectList projects;
        EXPECT_TRUE(projects.ReadList(list));
    }
}

#ifndef _WIN32  // the Windows launch goes through ShellExecuteA, which takes no command line
TEST(BadInput, ShellMetacharactersInPathsReachNoShell)
{
    test::TempHome home;
    const std::string folder = home.Path() + "/$(touch pwned); `touch pwned2` | touch pwned3 & 'x\"";
    test::WriteBytes(home.HivePath(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Velmora Software\\Ambrin]\r\n"
                                      "\"AppFolder\"=\"" + folder.substr(0, folder.size() - 1) + "\\\"\"\r\n");
    FileLocations locations;
    EXPECT_EQ(locations.LogFolder(), folder + "/Logs");
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/Logs"));
    test::WriteBytes(folder + "/Ambrin.hlp", "help");
    std::string path;
    LaunchHelp(path);  // xdg-open may be missing; either way no shell reads the path
    EXPECT_EQ(path, folder + "/Ambrin.hlp");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const char* name : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(std::filesystem::exists(home.Path() + "/" + name)) << name;
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
    }
}
#endif

}  // namespace
}  // namespace ambrin
