// What only Windows has: the registry as the settings store, "\" joins, C:\Ambrin, the help
// launch through ShellExecuteA and the trace mutex.
#include "diag/TraceLog.h"
#include "platform/FileSystem.h"
#include "platform/IdleCounter.h"
#include "platform/StartAtLogin.h"
#include "storage/FileLocations.h"
#include "storage/SettingsStore.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wtsapi32.h>

#include <cstring>
#include <optional>
#include <tuple>

namespace ambrin {
namespace {

// A key of the tests' own, removed afterwards with everything below it.
constexpr const char* kTestRoot = "Software\\Velmora Software Tests";
constexpr const char* kTestKey = "Software\\Velmora Software Tests\\Deep\\Ambrin";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }

    // Stores a raw value of any type, as another program might have.
    void Store(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    bool KeyExists()
    {
        HKEY key = nullptr;
        const bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
        if (exists) RegCloseKey(key);
        return exists;
    }
};

TEST_F(Registry, ReadingCreatesNothingAndTheFirstWriteMakesEveryLevel)
{
    std::uint32_t value = 7;
    EXPECT_FALSE(SettingsStore::ReadNumber(SettingsRoot::CurrentUser, kTestKey, "Topmost", value));
    EXPECT_EQ(value, 7u);
    EXPECT_FALSE(KeyExists());
    ASSERT_TRUE(SettingsStore::WriteNumber(SettingsRoot::CurrentUser, kTestKey, "Topmost", 0));
    EXPECT_TRUE(KeyExists());
    EXPECT_TRUE(SettingsStore::ReadNumber(SettingsRoot::CurrentUser, kTestKey, "Topmost", value));
    EXPECT_EQ(value, 0u);
}

TEST_F(Registry, ValuesAreReadAsTheirBytes)
{
    Store("One", REG_SZ, "1", 2);
    Store("Long", REG_SZ, "1234", 5);
    Store("Bare", REG_BINARY, "AB", 2);
    std::uint32_t value = 0xDEADBEEF;
    EXPECT_TRUE(SettingsStore::ReadNumber(SettingsRoot::CurrentUser, kTestKey, "One", value));
    EXPECT_EQ(value, 0xDEAD0031u) << "only the text's two bytes are copied";
    value = 9;
    EXPECT_FALSE(SettingsStore::ReadNumber(SettingsRoot::CurrentUser, kTestKey, "Long", value));
    EXPECT_EQ(value, 9u) << "a value longer than 4 bytes fails and leaves the number";
    std::string text;
    EXPECT_TRUE(SettingsStore::ReadText(SettingsRoot::CurrentUser, kTestKey, "Bare", text));
    EXPECT_EQ(text, "AB") << "a text stored without its terminator";
    EXPECT_TRUE(SettingsStore::ReadText(SettingsRoot::CurrentUser, kTestKey, "Long", text));
    EXPECT_EQ(text, "1234");
}

TEST(WindowsPaths, BackslashJoinsAndTheDefaultFolder)
{
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Work\\", "D:\\Work\\Logs"},
        {"D:\\Work", "D:\\Work\\Logs"},
        {"D:/Work/", "D:/Work/Logs"},
        {"", "\\Logs"},
    };
    for (const auto& [path, expected] : cases) {
        std::string joined = path;
        JoinPath(joined, "Logs");
        EXPECT_EQ(joined, expected) << path;
    }
    EXPECT_EQ(DefaultAppFolder(), "C:\\Ambrin");
}

TEST(WindowsPaths, HelpLaunchFailsForAMissingFileAndOpensAnExistingOne)
{
    test::TempHome home;
    std::string help = home.Path();
    JoinPath(help, "Ambrin.hlp");
    EXPECT_FALSE(platform::OpenWithDefaultHandler(help)) << "ShellExecuteA returns 2";
    test::WriteBytes(help, "help");
    EXPECT_TRUE(platform::OpenWithDefaultHandler(help)) << "the help viewer takes .hlp files";
}

TEST(WindowsTrace, TheMutexExistsWhileTheProgramRuns)
{
    ASSERT_TRUE(TraceResources().LockHeld());
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, TraceLog::kLockName);
    EXPECT_NE(mutex, nullptr);
    if (mutex) CloseHandle(mutex);
}

// The user's Run key gets the program's path in quotes, and loses it.
TEST(WindowsStartAtLogin, TheRunKeyHoldsTheProgramWhileAsked)
{
    std::string reason;
    ASSERT_TRUE(platform::SetStartAtLogin(true, "C:\\Program Files\\Ambrin\\ambrin.exe", reason)) << reason;
    EXPECT_TRUE(platform::StartsAtLogin());
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Ambrin", RRF_RT_REG_SZ,
                           nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, "\"C:\\Program Files\\Ambrin\\ambrin.exe\"");
    ASSERT_TRUE(platform::SetStartAtLogin(false, "", reason)) << reason;
    EXPECT_FALSE(platform::StartsAtLogin());
    EXPECT_TRUE(platform::SetStartAtLogin(false, "", reason)) << "removing what is not there is no failure";
}

// The last input's age, and the messages that tell of a lock or a sleep.
TEST(WindowsPresence, IdleTimeLocksAndSleeps)
{
    const auto counter = platform::OpenDisplayIdleCounter();
    ASSERT_NE(counter, nullptr);
    const std::optional<std::int64_t> idle = counter->IdleMilliseconds();
    ASSERT_TRUE(idle.has_value());
    EXPECT_GE(*idle, 0);

    using P = platform::PresenceChange;
    const std::tuple<unsigned, std::uintptr_t, P> messages[] = {
        {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, P::Away},     {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, P::Back},
        {WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, P::None},  {WM_POWERBROADCAST, PBT_APMSUSPEND, P::Away},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, P::Back},  {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, P::None},
        {WM_TIMER, WTS_SESSION_LOCK, P::None},
    };
    for (const auto& [message, wParam, change] : messages) {
        EXPECT_EQ(platform::PresenceFromMessage(message, wParam), change) << message << " " << wParam;
    }
    HWND window = CreateWindowExA(0, "STATIC", "presence", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    if (platform::WatchSessionLock(window)) platform::StopWatchingSessionLock(window);
    DestroyWindow(window);
}

}  // namespace
}  // namespace ambrin
