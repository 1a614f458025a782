#include "app/SingleInstance.h"

#include "storage/FileLocations.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace ambrin {
namespace {

bool Listening(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(100);
}

TEST(SingleInstance, ASecondCopyOnTheSameFolderAsksTheFirstAndACrashLeavesNoLock)
{
    test::TempHome home;
    const std::string folder = FileLocations().LogFolder();
    char program[] = AMBRIN_EXE;
    char* argv[] = {program, nullptr};
    pid_t running = 0;
    ASSERT_EQ(posix_spawn(&running, program, nullptr, nullptr, argv, environ), 0);
    const QString name = SingleInstance::ServerName(folder);
    for (int wait = 0; wait < 300 && !Listening(name); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

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
    EXPECT_TRUE(Listening(name)) << "the crashed copy's socket was replaced";
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
    QTest::qWait(200);  // the serving copy reads the request
    EXPECT_FALSE(asking.canReadLine());
}

}  // namespace
}  // namespace ambrin
