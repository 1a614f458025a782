// The real program in a process of its own: a second copy on the same folder asks the first,
// and however the session ends, the running record is ended as the option says and saved (the
// program ended by a signal or by losing its display).
#include "app/SingleInstance.h"
#include "storage/FileLocations.h"
#include "storage/SettingsStore.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace ambrin {
namespace {

using namespace std::chrono_literals;

pid_t Spawn(std::vector<std::string> args, const std::vector<std::string>& extraEnvironment)
{
    std::vector<std::string> environment(extraEnvironment);
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);  // the first of a name wins
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    for (std::string& e : environment) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
}

// Waits for the process to end; false when it did not within the time.
bool Ended(pid_t pid, std::chrono::milliseconds within)
{
    for (auto waited = 0ms; waited < within; waited += 20ms) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

bool Serving(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(100);
}

// Waits up to five seconds for a copy to serve under that name.
bool ServingSoon(const QString& name)
{
    for (int wait = 0; wait < 250 && !Serving(name); ++wait) std::this_thread::sleep_for(20ms);
    return Serving(name);
}

TEST(SingleInstance, ASecondCopyOnTheSameFolderAsksTheFirstAndACrashLeavesNoLock)
{
    test::TempHome home;
    const std::string folder = FileLocations().LogFolder();
    const pid_t running = Spawn({AMBRIN_EXE}, {});
    ASSERT_GT(running, 0);
    const QString name = SingleInstance::ServerName(folder);
    ServingSoon(name);

    {
        // The same folder spelled another way is the same folder.
        SingleInstance second(folder + "/../Logs/");
        EXPECT_FALSE(second.IsFirst());
        EXPECT_TRUE(second.AskRunningCopyToShow()) << "the running copy brings its strip forward";
    }

    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
    SingleInstance next(folder);
    EXPECT_TRUE(next.IsFirst()) << "a copy that crashed leaves no stale lock";
    QWidget strip;
    next.Serve(&strip);
    EXPECT_TRUE(Serving(name)) << "the crashed copy's socket was replaced";
    SingleInstance another(folder);
    EXPECT_FALSE(another.IsFirst());
}

// The strip closes before the program ends, while its copy still serves: a request then finds
// no window to bring forward, and gets no answer.
TEST(SingleInstance, ARequestAfterTheStripIsGoneTouchesNothing)
{
    test::TempHome home;
    const std::string folder = FileLocations().LogFolder();
    SingleInstance first(folder);
    auto strip = std::make_unique<QWidget>();
    first.Serve(strip.get());
    strip.reset();
    QLocalSocket asking;
    asking.connectToServer(SingleInstance::ServerName(folder));
    ASSERT_TRUE(asking.waitForConnected(1000));
    asking.write(SingleInstance::kShowRequest);
    asking.flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return asking.canReadLine(); }, 2000));
    EXPECT_EQ(asking.readLine().toStdString(), "error\tAmbrin is closing\n") << "said, and no window touched";
}

struct Ending {
    const char* name;
    int signal;  // 0: the display goes
};

void PrintTo(const Ending& row, std::ostream* os)
{
    *os << row.name;
}

class SessionEnd : public ::testing::TestWithParam<Ending> {};

TEST_P(SessionEnd, EndsTheRunningRecordAndSaves)
{
    test::TempHome home;
    FileLocations locations;
    SettingsStore::Write(settings::kEndProj, true);
    const std::string running = "\"12-7-2026 9:00\",\"\",\"Accounts\",\"\"\r\n";
    test::WriteBytes(locations.CurrentLogPath(), running);

    pid_t display = -1;
    std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen"};
    if (GetParam().signal == 0) {
        const std::string number = std::to_string(70 + getpid() % 20);
        display = Spawn({"Xvfb", ":" + number, "-nolisten", "tcp"}, {});
        for (int wait = 0; wait < 250 && !std::filesystem::exists("/tmp/.X11-unix/X" + number); ++wait) {
            std::this_thread::sleep_for(20ms);
        }
        if (display < 0 || !std::filesystem::exists("/tmp/.X11-unix/X" + number)) GTEST_SKIP() << "no Xvfb";
        environment = {"QT_QPA_PLATFORM=xcb", "DISPLAY=:" + number};
    }
    const pid_t program = Spawn({AMBRIN_EXE}, environment);
    ASSERT_GT(program, 0);
    ASSERT_TRUE(ServingSoon(SingleInstance::ServerName(locations.LogFolder()))) << "the strip did not start";

    if (display > 0) {
        kill(display, SIGKILL);
        waitpid(display, nullptr, 0);
    } else {
        kill(program, GetParam().signal);
    }
    ASSERT_TRUE(Ended(program, 10s)) << "asks nothing, waits for nothing";
    const std::string log = test::FileBytes(locations.CurrentLogPath());
    EXPECT_EQ(log.rfind("\"12-7-2026 9:00\",\"", 0), 0u) << log;
    EXPECT_NE(log, running) << "the record was ended";
    EXPECT_NE(log.find("\",\"Accounts\",\"\"\r\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Endings, SessionEnd,
                         ::testing::Values(Ending{"SIGTERM", SIGTERM}, Ending{"SIGHUP", SIGHUP},
                                           Ending{"the display gone", 0}),
                         [](const auto& row) { return std::string(row.param.signal ? row.param.name : "DisplayGone"); });

}  // namespace
}  // namespace ambrin
