#include "storage/SettingsStore.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace ambrin {
namespace {

using test::FileBytes;
using test::WriteBytes;

const std::string kSection = "[HKEY_CURRENT_USER\\Software\\Velmora Software\\Ambrin]";
constexpr SettingsRoot kUser = SettingsRoot::CurrentUser;

TEST(SettingsStore, DefaultsWithoutAKeyAndReadingCreatesNothing)
{
    test::TempHome home;
    EXPECT_EQ(SettingsStore::Read(settings::kTopmost), 1u);
    std::string text = "stale";
    EXPECT_FALSE(SettingsStore::ReadText(kUser, settings::kKeyPath, settings::kAppFolder, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(std::filesystem::exists(home.Path() + "/config"));
}

// A write changes the line of its value, or adds one at the end of its section; every other
// byte stays, lines the hive does not understand included. The first write makes the file and
// the folders above it.
TEST(SettingsStore, AWriteTouchesOnlyItsOwnLine)
{
    const struct {
        const char* name;
        std::optional<std::string> before;  // nullopt: no file yet
        const settings::Option& option;
        bool on;
        std::string expected;
    } cases[] = {
        {"the first write makes the file", std::nullopt, settings::kRoundTimes, true,
         "REGEDIT4\r\n\r\n" + kSection + "\r\n\"RoundTimes\"=dword:00000001\r\n"},
        {"off is written as zero", "REGEDIT4\r\n\r\n" + kSection + "\r\n\"RoundTimes\"=dword:00000001\r\n",
         settings::kRoundTimes, false, "REGEDIT4\r\n\r\n" + kSection + "\r\n\"RoundTimes\"=dword:00000000\r\n"},
        {"same name in another case is that value",
         "REGEDIT4\n\n; kept as it is\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Topmost\"=dword:00000007\n\n" +
             kSection + "\n\"AppFolder\"=\"/home/ann/Time\"\n\"TOPMOST\"=dword:00000005\nnot understood\n\n",
         settings::kTopmost, true,
         "REGEDIT4\n\n; kept as it is\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Topmost\"=dword:00000007\n\n" +
             kSection + "\n\"AppFolder\"=\"/home/ann/Time\"\n\"TOPMOST\"=dword:00000001\r\nnot understood\n\n"},
        {"a new value goes to the end of its section", "REGEDIT4\n" + kSection + "\nnot understood\n\n[Other]\n",
         settings::kEndProj, true, "REGEDIT4\n" + kSection + "\nnot understood\n\"EndProj\"=dword:00000001\r\n\n[Other]\n"},
        // A line ending in a backslash continues: an empty line keeps the new value apart.
        {"a line that is no value never continues", "REGEDIT4\n" + kSection + "\n[x\"=hex:01 5]\\\n",
         settings::kEndProj, true, "REGEDIT4\n" + kSection + "\n[x\"=hex:01 5]\\\n\r\n\"EndProj\"=dword:00000001\r\n"},
        {"a value after a hex line ending in a backslash", "REGEDIT4\r\n" + kSection + "\r\n\"Bin\"=hex:01,\\",
         settings::kEndProj, true,
         "REGEDIT4\r\n" + kSection + "\r\n\"Bin\"=hex:01,\\\r\n\r\n\"EndProj\"=dword:00000001\r\n"},
    };
    for (const auto& c : cases) {
        test::TempHome home;
        if (c.before) WriteBytes(home.HivePath(), *c.before);
        ASSERT_TRUE(SettingsStore::Write(c.option, c.on)) << c.name;
        EXPECT_EQ(FileBytes(home.HivePath()), c.expected) << c.name;
        EXPECT_EQ(SettingsStore::IsOn(c.option), c.on) << c.name;
    }
}

TEST(SettingsStore, ValuesReadAsTheRegistryCallsReadThem)
{
    const struct {
        const char* name;
        const char* line;  // the value as it stands in the hive file
        std::uint32_t preset;
        bool numberOk;
        std::uint32_t number;
        bool textOk;
        std::string text;
    } cases[] = {
        {"dword", "dword:0000002a", 7, true, 42, true, "*"},
        {"dword in upper case", "DWORD:DEADBEEF", 0, true, 0xDEADBEEF, true, "\xEF\xBE\xAD\xDE"},
        {"text 1 over a preset", "\"1\"", 0xDEADBEEF, true, 0xDEAD0031, true, "1"},
        {"text 0 is on", "\"0\"", 1, true, 0x30, true, "0"},
        {"empty text", "\"\"", 5, true, 0, true, ""},
        {"text too long for a number", "\"1234\"", 9, false, 9, true, "1234"},
        {"escapes", "\"C:\\\\Ambrin \\\"x\\\"\"", 9, false, 9, true, "C:\\Ambrin \"x\""},
        {"text without terminator", "hex(1):41,42", 0, true, 0x4241, true, "AB"},
        {"five bytes fail as a number", "hex:01,02,03,04,05", 3, false, 3, true, "\x01\x02\x03\x04\x05"},
        {"hex continued over lines", "hex(2):2f,74,\\\n  6d,70,00", 3, false, 3, true, "/tmp"},
        {"unparsable value is absent", "dword:xyz", 3, false, 3, false, ""},
        {"a name given twice: the last counts", "dword:00000001\r\n\"v\"=dword:00000000", 3, true, 0, true, ""},
    };
    for (const auto& c : cases) {
        test::TempHome home;
        WriteBytes(home.HivePath(), "REGEDIT4\r\n\r\n" + kSection + "\r\n\"V\"=" + c.line + "\r\n");
        std::uint32_t number = c.preset;
        std::string text;
        EXPECT_EQ(SettingsStore::ReadNumber(kUser, settings::kKeyPath, "v", number), c.numberOk)
            << c.name;
        EXPECT_EQ(number, c.number) << c.name;
        EXPECT_EQ(SettingsStore::ReadText(kUser, settings::kKeyPath, "V", text), c.textOk)
            << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(SettingsStore, AForeignFileReadsAsAbsentAndIsNeverOverwritten)
{
    const std::string foreign[] = {
        std::string("\xFF\xFE" "W\0i\0n\0", 8),  // a UTF-16 export
        std::string("\x7f" "ELF\0\0garbage", 12),
        "Windows Registry Editor Version 5.00\r\n",
    };
    for (const std::string& bytes : foreign) {
        test::TempHome home;
        WriteBytes(home.HivePath(), bytes);
        EXPECT_EQ(SettingsStore::Read(settings::kTopmost), 1u);
        EXPECT_FALSE(SettingsStore::Write(settings::kTopmost, false));
        EXPECT_EQ(FileBytes(home.HivePath()), bytes);
    }
}

}  // namespace
}  // namespace ambrin


