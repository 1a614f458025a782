// Time away, from the desktop's word to the log's bytes. The sources against stand-ins: on a
// private D-Bus the screen saver's lock, logind's sleep and session lock, GNOME's idle time; a
// Wayland compositor made with libwayland-server (Debian 12 has no compositor with
// ext-idle-notify-v1: sway 1.7, weston 10 and wlroots 0.15 predate it). Then the question: each
// answer, the merging of two aways, and what is never asked; and on a real X server, whose idle
// counter grows without input and is reset by xdotool's, a strip left a minute asks on return.
#include "app/AwaySources.h"
#include "app/AwayWatch.h"
#include "dialogs/TimeAwayDialog.h"
#include "platform/IdleCounter.h"
#include "storage/SettingsStore.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/StripDriver.h"
#include "support/XvfbServer.h"

#include "ext-idle-notify-v1-server-protocol.h"

#include <wayland-server.h>

#include <QComboBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QInputDialog>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

// logind's manager and GNOME's idle monitor as far as Ambrin asks them. They answer on a
// thread of their own: the program's calls may wait for the answer.
class StandInLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSessionByPID(uint) { return QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/_31")); }
};

class StandInIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public:
    std::atomic<qulonglong> idle{0};
public slots:
    qulonglong GetIdletime() { return idle; }
};

class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address")});
        if (!daemon_.waitForStarted() || !QTest::qWaitFor([&] { return daemon_.canReadLine(); }, 10'000)) return;
        address = QString::fromLatin1(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QString address;

private:
    QProcess daemon_;
};

class DesktopSources : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (bus_.address.isEmpty()) GTEST_SKIP() << "no dbus-daemon here";
        program_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus_.address, QStringLiteral("program")));
        ASSERT_TRUE(program_->isConnected());
        // The services on their own thread and connection.
        thread_.start();
        logind_.moveToThread(&thread_);
        monitor_.moveToThread(&thread_);
        QMetaObject::invokeMethod(&logind_, [this] {
            QDBusConnection services = QDBusConnection::connectToBus(bus_.address, QStringLiteral("services"));
            services.registerService(QStringLiteral("org.freedesktop.login1"));
            services.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
            services.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind_, QDBusConnection::ExportAllSlots);
            services.registerObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), &monitor_, QDBusConnection::ExportAllSlots);
        }, Qt::BlockingQueuedConnection);
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QMetaObject::invokeMethod(&logind_, [] { QDBusConnection::disconnectFromBus(QStringLiteral("services")); },
                                  Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    // A signal as the service sends it.
    void Send(const char* path, const char* interface, const char* name, const QVariantList& arguments = {})
    {
        QMetaObject::invokeMethod(&logind_, [=] {
            QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(path), QString::fromLatin1(interface), QString::fromLatin1(name));
            signal.setArguments(arguments);
            QDBusConnection(QStringLiteral("services")).send(signal);
        }, Qt::BlockingQueuedConnection);
    }

    PrivateBus bus_;
    std::unique_ptr<QDBusConnection> program_;
    QThread thread_;
    StandInLogind logind_;
    StandInIdleMonitor monitor_;
};

TEST_F(DesktopSources, LockSleepAndReturnAreTold)
{
    ScreenSaverSource screenSaver(*program_, nullptr);
    LogindSource logind(*program_, nullptr);
    QSignalSpy awayAt(&screenSaver, &AwaySource::AwaySince), backAt(&screenSaver, &AwaySource::Back);
    QSignalSpy sleeps(&logind, &AwaySource::AwaySince), wakes(&logind, &AwaySource::Back);

    Send("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true});
    EXPECT_TRUE(awayAt.wait(5000)) << "the screen locked";
    Send("/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {false});
    EXPECT_TRUE(backAt.wait(5000)) << "unlocked, at the other path desktops use";

    Send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {true});
    EXPECT_TRUE(sleeps.wait(5000)) << "about to sleep";
    Send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {false});
    EXPECT_TRUE(wakes.wait(5000)) << "awake";
    // The session's own lock, once the manager has said which session this is.
    QTest::qWait(200);
    Send("/org/freedesktop/login1/session/_31", "org.freedesktop.login1.Session", "Lock");
    EXPECT_TRUE(sleeps.wait(5000)) << "the session locked";
    Send("/org/freedesktop/login1/session/_31", "org.freedesktop.login1.Session", "Unlock");
    EXPECT_TRUE(wakes.wait(5000)) << "unlocked";
    EXPECT_EQ(sleeps.size(), 2);
    EXPECT_EQ(wakes.size(), 2);
}

TEST_F(DesktopSources, GnomesIdleTimeIsReadAndItsReturnTold)
{
    monitor_.idle = 42'000;
    EXPECT_EQ(MutterIdleTime(*program_), 42'000);
    IdleCounterSource source(QStringLiteral("org.gnome.Mutter.IdleMonitor"), [this] { return MutterIdleTime(*program_); },
                             [] { return std::int64_t{60'000}; }, 3'600'000, nullptr);
    QSignalSpy away(&source, &AwaySource::AwaySince), back(&source, &AwaySource::Back);
    const std::tuple<qulonglong, qsizetype, qsizetype, const char*> polls[] = {
        {42'000, 0, 0, "42 s is not a minute"}, {61'000, 1, 0, "away"}, {90'000, 1, 0, "told once"},
        {300, 1, 1, "back"}};
    for (const auto& [idle, aways, backs, what] : polls) {
        monitor_.idle = idle;
        source.Poll();
        EXPECT_EQ(std::pair(away.size(), back.size()), std::pair(aways, backs)) << what;
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    EXPECT_EQ(MutterIdleTime(QDBusConnection(QStringLiteral("program"))), std::nullopt) << "no bus: nothing, quietly";
}

// A compositor with a seat and, when asked, the idle notifier; it says "idled" and
// "resumed" when told. It runs on a thread of its own: the client waits for its answers.
class StandInCompositor {
public:
    explicit StandInCompositor(bool withNotifier)
    {
        display_ = wl_display_create();
        socket = wl_display_add_socket_auto(display_);
        wl_global_create(display_, &wl_seat_interface, 1, this, BindSeat);
        if (withNotifier) wl_global_create(display_, &ext_idle_notifier_v1_interface, 1, this, BindNotifier);
        thread_ = std::thread([this] { Run(); });
    }
    ~StandInCompositor()
    {
        stop_ = true;
        thread_.join();
        wl_display_destroy_clients(display_);
        wl_display_destroy(display_);
    }
    StandInCompositor(const StandInCompositor&) = delete;
    StandInCompositor& operator=(const StandInCompositor&) = delete;

    void Idle() { command_ = 1; }
    void Resume() { command_ = 2; }

    const char* socket = nullptr;
    std::atomic<std::uint32_t> timeout{0};  // of the last notification asked for

private:
    void Run()
    {
        wl_event_loop* loop = wl_display_get_event_loop(display_);
        while (!stop_) {
            wl_event_loop_dispatch(loop, 10);
            const int command = command_.exchange(0);
            for (wl_resource* notification : notifications_) {
                if (command == 1) ext_idle_notification_v1_send_idled(notification);
                if (command == 2) ext_idle_notification_v1_send_resumed(notification);
            }
            wl_display_flush_clients(display_);
        }
    }
    static void Destroy(wl_client*, wl_resource* resource) { wl_resource_destroy(resource); }
    static void NoDevice(wl_client*, wl_resource*, std::uint32_t) {}
    static void BindSeat(wl_client* client, void*, std::uint32_t version, std::uint32_t id)
    {
        static const struct wl_seat_interface seat = {NoDevice, NoDevice, NoDevice, Destroy};
        wl_resource* resource = wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
        wl_resource_set_implementation(resource, &seat, nullptr, nullptr);
    }
    static void Forget(wl_resource* resource)
    {
        auto* self = static_cast<StandInCompositor*>(wl_resource_get_user_data(resource));
        std::erase(self->notifications_, resource);
    }
    static void Notification(wl_client* client, wl_resource* notifier, std::uint32_t id, std::uint32_t timeout, wl_resource*)
    {
        static const struct ext_idle_notification_v1_interface notification = {Destroy};
        auto* self = static_cast<StandInCompositor*>(wl_resource_get_user_data(notifier));
        wl_resource* resource = wl_resource_create(client, &ext_idle_notification_v1_interface, 1, id);
        wl_resource_set_implementation(resource, &notification, self, Forget);
        self->notifications_.push_back(resource);
        self->timeout = timeout;
    }
    static void BindNotifier(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
    {
        static const struct ext_idle_notifier_v1_interface notifier = {Destroy, Notification};
        wl_resource* resource = wl_resource_create(client, &ext_idle_notifier_v1_interface, static_cast<int>(version), id);
        wl_resource_set_implementation(resource, &notifier, data, nullptr);
    }

    wl_display* display_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> command_{0};
    std::vector<wl_resource*> notifications_;
};

class WaylandIdle : public ::testing::Test {
protected:
    void SetUp() override { test::UnsetEnvironment("WAYLAND_DISPLAY"); }
    void TearDown() override { test::UnsetEnvironment("WAYLAND_DISPLAY"); }
    test::TempHome home_;  // its XDG_RUNTIME_DIR holds the compositor's socket
};

TEST_F(WaylandIdle, IdledAndResumedAreAwayAndBackAtTheOptionsTimeout)
{
    auto compositor = std::make_unique<StandInCompositor>(true);
    test::SetEnvironment("WAYLAND_DISPLAY", compositor->socket);
    std::int64_t threshold = 60'000;
    WaylandIdleSource source([&threshold] { return threshold; }, 20, nullptr);
    ASSERT_TRUE(source.Connected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return compositor->timeout == 60'000; }));

    QSignalSpy away(&source, &AwaySource::AwaySince), back(&source, &AwaySource::Back);
    const ClockTime before = ClockTime::Now();
    compositor->Idle();
    ASSERT_TRUE(away.wait(5000));
    const auto since = ClockTime(away.front().front().value<quint64>());
    EXPECT_NEAR(static_cast<double>(SecondsBetween(before, since)), 60, 2) << "the last input was a timeout ago";
    compositor->Resume();
    EXPECT_TRUE(back.wait(5000));

    threshold = 120'000;  // the option changed: a notification with the new timeout
    EXPECT_TRUE(QTest::qWaitFor([&] { return compositor->timeout == 120'000; }));
    compositor.reset();  // the compositor ends
    EXPECT_TRUE(QTest::qWaitFor([&] { return !source.Connected(); }));
}

TEST_F(WaylandIdle, NoCompositorOrNoNotifierIsNoSource)
{
    test::SetEnvironment("WAYLAND_DISPLAY", "wayland-nowhere");
    EXPECT_FALSE(WaylandIdleSource([] { return std::int64_t{60'000}; }, 1000, nullptr).Connected());
    StandInCompositor compositor(false);
    test::SetEnvironment("WAYLAND_DISPLAY", compositor.socket);
    EXPECT_FALSE(WaylandIdleSource([] { return std::int64_t{60'000}; }, 1000, nullptr).Connected());
}

// Says what a test tells it to, as a desktop's source would.
class StandInSource : public AwaySource {
public:
    using AwaySource::AwaySource;
    QString Name() const override { return QStringLiteral("stand-in"); }
    void Away(ClockTime since) { emit AwaySince(since.Ticks()); }
    void Return(ClockTime at) { emit Back(at.Ticks()); }
};

ClockTime At(int hour, int minute)
{
    return MakeTime(2005, 3, 7, hour, minute);
}

struct Fixture {
    Fixture()
    {
        SettingsStore::Write(settings::kPopNote, false);
        strip = std::make_unique<test::Strip>();
        source = new StandInSource(nullptr);
        strip->window->Away()->AddSource(source);
        clock.Set(At(9, 0));
        strip->window->Tick();
        strip->Type("Website redesign");
    }
    // Away from..to, back at to.
    TimeAwayDialog* AwayAndBack(ClockTime from, ClockTime to)
    {
        source->Away(from);
        clock.Set(to);
        source->Return(to);
        return Question();
    }
    TimeAwayDialog* Question() { return strip->window->Away()->Question(); }
    void Click(const char* button) { Question()->findChild<QPushButton*>(button)->click(); }

    test::TempHome home;
    test::FakeClock clock{At(9, 0)};
    std::unique_ptr<test::Strip> strip;
    StandInSource* source = nullptr;
};

const std::string kMorning = "\"3-7-2005 9:00\",\"3-7-2005 12:02\",\"Website redesign\",\"\"\r\n";
const std::string kAfter = "\"3-7-2005 12:47\",\"\",\"Website redesign\",\"\"\r\n";

TEST(TimeAway, EachAnswerBooksTheTimeAsTheStripWould)
{
    const std::tuple<const char*, std::function<void(Fixture&)>, std::string> answers[] = {
        {"keep, by Escape", [](Fixture& f) { f.Question()->reject(); },
         "\"3-7-2005 9:00\",\"\",\"Website redesign\",\"\"\r\n"},
        {"discard", [](Fixture& f) { f.Click("discardButton"); }, kMorning + kAfter},
        {"discard and stop", [](Fixture& f) { f.Click("discardStopButton"); }, kMorning},
        {"assign to a project typed in",
         [](Fixture& f) {
             test::OnNextDialog([](QDialog* chooser) {
                 static_cast<QInputDialog*>(chooser)->setTextValue("Lunch");
                 chooser->accept();
             }, "assignChooser");
             f.Click("assignButton");
         },
         kMorning + "\"3-7-2005 12:02\",\"3-7-2005 12:47\",\"Lunch\",\"\"\r\n" + kAfter},
    };
    for (const auto& [name, answer, log] : answers) {
        Fixture f;
        TimeAwayDialog* question = f.AwayAndBack(At(12, 2), At(12, 47));
        ASSERT_NE(question, nullptr) << name;
        EXPECT_TRUE(question->isVisible() && !question->isModal())
            << name << ": asked without blocking the strip";
        EXPECT_EQ(question->Question(), "You were away from 12:02 to 12:47 (45 minutes) while "
                                        "\"Website redesign\" was running.");
        answer(f);
        EXPECT_FALSE(question->isVisible()) << name;
        EXPECT_EQ(f.strip->Log(), log) << name;
    }
}

TEST(TimeAway, TwoAwaysBeforeTheAnswerAreOneQuestion)
{
    Fixture f;
    f.AwayAndBack(At(12, 2), At(12, 47));
    TimeAwayDialog* question = f.AwayAndBack(At(13, 0), At(14, 15));
    EXPECT_EQ(question->Question(), "You were away from 12:02 to 14:15 (2 hours 13 minutes) while "
                                    "\"Website redesign\" was running.");
    f.Click("discardButton");
    EXPECT_EQ(f.strip->Log(), kMorning + "\"3-7-2005 14:15\",\"\",\"Website redesign\",\"\"\r\n");
}

// The option's minutes reach the question; off, nothing is asked.
TEST(TimeAway, NothingIsAskedWhenTooShortOrOff)
{
    for (const int minutes : {10, 0}) {
        Fixture f;
        SettingsStore::WriteValue(settings::kAwayMinutes, static_cast<std::uint32_t>(minutes));
        const std::string log = f.strip->Log();
        EXPECT_EQ(f.AwayAndBack(At(12, 2), minutes ? At(12, 11) : At(13, 0)), nullptr) << minutes;
        EXPECT_EQ(f.strip->Log(), log) << minutes;
    }
}

class X11Away : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The session, not Qt's platform, chooses the source: this one is an X session.
        test::UnsetEnvironment("WAYLAND_DISPLAY");
        test::UnsetEnvironment("XDG_SESSION_TYPE");
        if (!server_.Installed()) GTEST_SKIP() << "no Xvfb here";
        ASSERT_TRUE(server_.Running()) << "Xvfb did not start";
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

#include "TimeAwayTest.moc"
