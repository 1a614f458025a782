// Time away on a real X server: its idle counter grows without input and xdotool's input
// resets it; a strip left a minute asks on return, and "Discard" writes the log.
#include "app/AwayWatch.h"
#include "app/MainWindow.h"
#include "dialogs/TimeAwayDialog.h"
#include "platform/IdleCounter.h"
#include "storage/SettingsStore.h"
#include "support/StripDriver.h"
#include "support/XvfbServer.h"

#include <QPushButton>

#include <thread>

namespace ambrin {
namespace {

class X11Away : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The session, not Qt's platform, chooses the source: this one is an X session.
        test::UnsetEnvironment("WAYLAND_DISPLAY");
        test::UnsetEnvironment("XDG_SESSION_TYPE");
        if (!server_.Running()) GTEST_SKIP() << "no Xvfb here";
    }
    test::XvfbServer server_;
};

TEST_F(X11Away, TheCounterGrowsWithoutInputAndInputResetsIt)
{
    const auto counter = platform::OpenDisplayIdleCounter();
    ASSERT_NE(counter, nullptr);
    ASSERT_TRUE(server_.MoveMouse(10, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_GE(counter->IdleMilliseconds().value_or(0), 1000);
    ASSERT_TRUE(server_.MoveMouse(20, 20));
    EXPECT_LT(counter->IdleMilliseconds().value_or(1'000'000), 500);
}

// A minute and more in real time: the counter cannot be hurried.
TEST_F(X11Away, AMinuteAwayThenDiscardLeavesTheTimeOut)
{
    test::TempHome home;
    SettingsStore::Write(settings::kPopNote, false);
    SettingsStore::WriteValue(settings::kAwayMinutes, 1);
    test::Strip strip;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.window->Away()->SourceNames().isEmpty(); }));
    EXPECT_EQ(strip.window->Away()->SourceNames().front(), "the display's idle counter");
    strip.Type("Website redesign");  // offscreen: keys the X server never sees
    const ClockTime started = strip.app.Log().View(0).start;
    ASSERT_TRUE(server_.MoveMouse(10, 10));
    const ClockTime lastInput = ClockTime::Now();

    QTest::qWait(62'000 + AwayWatch::kPollMilliseconds);  // no input
    ASSERT_TRUE(server_.MoveMouse(300, 200));
    const ClockTime back = ClockTime::Now();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.window->Away()->Question() != nullptr; }, 2 * AwayWatch::kPollMilliseconds));
    TimeAwayDialog* question = strip.window->Away()->Question();
    EXPECT_TRUE(question->Question().contains("(1 minute)") || question->Question().contains("(2 minutes)"))
        << question->Question().toStdString();
    question->findChild<QPushButton*>("discardButton")->click();

    const TimeRecord& before = strip.app.Log().View(0);
    const TimeRecord& after = strip.app.Log().View(2);
    EXPECT_LE(std::abs(SecondsBetween(before.end, lastInput)), 2) << "the away time starts at the last input";
    EXPECT_LE(std::abs(SecondsBetween(after.start, back)), 2) << "and ends at the input that ended it";
    const auto text = [](ClockTime t) { return t.Format(ClockTextStyle::Numeric, false); };
    EXPECT_EQ(strip.Log(), "\"" + text(started) + "\",\"" + text(before.end) + "\",\"Website redesign\",\"\"\r\n\"" +
                               text(after.start) + "\",\"\",\"Website redesign\",\"\"\r\n");
}

}  // namespace
}  // namespace ambrin
