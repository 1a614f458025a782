// The Wayland idle source against a stand-in compositor made with libwayland-server: Debian 12
// has no compositor with ext-idle-notify-v1 (sway 1.7, weston 10 and wlroots 0.15 predate it).
#include "app/AwaySources.h"
#include "core/ClockTime.h"
#include "support/TempHome.h"

#include "ext-idle-notify-v1-server-protocol.h"

#include <gtest/gtest.h>
#include <wayland-server.h>

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace ambrin {
namespace {

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

}  // namespace
}  // namespace ambrin
