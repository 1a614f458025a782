#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace ambrin::platform {

// The compositor's word on idleness (the ext-idle-notify-v1 protocol of KDE Plasma and wlroots
// desktops), on a Wayland connection of its own: the strip itself may be drawn through XWayland.
class WaylandIdleWatch {
public:
    // Null when there is no Wayland display, or it offers no idle notifier or no seat.
    static std::unique_ptr<WaylandIdleWatch> Open(std::uint32_t timeoutMilliseconds);
    virtual ~WaylandIdleWatch() = default;

    // Readable when the compositor has something to say.
    virtual int Descriptor() const = 0;
    // Reads what arrived and tells it: true when no input came for the timeout, false at the
    // next input. False when the connection is gone.
    virtual bool Dispatch(const std::function<void(bool idle)>& told) = 0;
};

}  // namespace ambrin::platform
