#include "platform/IdleCounter.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace ambrin::platform {

namespace {

class X11IdleCounter : public IdleCounter {
public:
    explicit X11IdleCounter(Display* display) : display_(display), info_(XScreenSaverAllocInfo()) {}
    ~X11IdleCounter() override
    {
        XFree(info_);
        XCloseDisplay(display_);
    }
    X11IdleCounter(const X11IdleCounter&) = delete;
    X11IdleCounter& operator=(const X11IdleCounter&) = delete;

    std::optional<std::int64_t> IdleMilliseconds() override
    {
        if (!info_ || !XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), info_)) return std::nullopt;
        return static_cast<std::int64_t>(info_->idle);
    }

private:
    Display* display_;
    XScreenSaverInfo* info_;
};

}  // namespace

std::unique_ptr<IdleCounter> OpenDisplayIdleCounter()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    int event = 0, error = 0;
    if (!XScreenSaverQueryExtension(display, &event, &error)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11IdleCounter>(display);
}

}  // namespace ambrin::platform
