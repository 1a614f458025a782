#include "platform/WaylandIdle.h"

#include "ext-idle-notify-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstring>

namespace ambrin::platform {

namespace {

class Watch : public WaylandIdleWatch {
public:
    explicit Watch(wl_display* display) : display_(display) {}
    ~Watch() override
    {
        if (notification_) ext_idle_notification_v1_destroy(notification_);
        if (notifier_) ext_idle_notifier_v1_destroy(notifier_);
        if (seat_) wl_seat_destroy(seat_);
        if (registry_) wl_registry_destroy(registry_);
        wl_display_disconnect(display_);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool Start(std::uint32_t timeout)
    {
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kRegistry, this);
        if (wl_display_roundtrip(display_) < 0 || !notifier_ || !seat_) return false;
        notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, timeout, seat_);
        ext_idle_notification_v1_add_listener(notification_, &kNotification, this);
        return wl_display_flush(display_) >= 0;
    }

    int Descriptor() const override { return wl_display_get_fd(display_); }

    bool Dispatch(const std::function<void(bool idle)>& told) override
    {
        told_ = &told;
        const int result = wl_display_dispatch(display_);
        told_ = nullptr;
        return result >= 0;
    }

private:
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
    {
        auto* self = static_cast<Watch*>(data);
        if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !self->notifier_) {
            self->notifier_ = static_cast<ext_idle_notifier_v1*>(wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
            self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        }
    }
    static void GlobalRemoved(void*, wl_registry*, std::uint32_t) {}
    static void Idled(void* data, ext_idle_notification_v1*) { static_cast<Watch*>(data)->Tell(true); }
    static void Resumed(void* data, ext_idle_notification_v1*) { static_cast<Watch*>(data)->Tell(false); }
    void Tell(bool idle)
    {
        if (told_) (*told_)(idle);
    }

    static constexpr wl_registry_listener kRegistry{Global, GlobalRemoved};
    static constexpr ext_idle_notification_v1_listener kNotification{Idled, Resumed};

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    ext_idle_notifier_v1* notifier_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    const std::function<void(bool)>* told_ = nullptr;
};

}  // namespace

std::unique_ptr<WaylandIdleWatch> WaylandIdleWatch::Open(std::uint32_t timeoutMilliseconds)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    auto watch = std::make_unique<Watch>(display);
    if (!watch->Start(timeoutMilliseconds)) return nullptr;
    return watch;
}

}  // namespace ambrin::platform
