#include "platform/IdleCounter.h"

#include <windows.h>
#include <wtsapi32.h>

namespace ambrin::platform {

namespace {

class LastInputCounter : public IdleCounter {
public:
    std::optional<std::int64_t> IdleMilliseconds() override
    {
        LASTINPUTINFO info{sizeof(LASTINPUTINFO), 0};
        if (!GetLastInputInfo(&info)) return std::nullopt;
        // Both counts wrap after 49.7 days; their difference in 32 bits does not.
        return static_cast<std::int64_t>(static_cast<DWORD>(GetTickCount() - info.dwTime));
    }
};

}  // namespace

std::unique_ptr<IdleCounter> OpenDisplayIdleCounter()
{
    return std::make_unique<LastInputCounter>();
}

PresenceChange PresenceFromMessage(unsigned message, std::uintptr_t wParam)
{
    if (message == WM_WTSSESSION_CHANGE) {
        if (wParam == WTS_SESSION_LOCK) return PresenceChange::Away;
        if (wParam == WTS_SESSION_UNLOCK) return PresenceChange::Back;
    } else if (message == WM_POWERBROADCAST) {
        if (wParam == PBT_APMSUSPEND) return PresenceChange::Away;
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) return PresenceChange::Back;
    }
    return PresenceChange::None;
}

PresenceChange PresenceFromMessage(const void* msg)
{
    const MSG* message = static_cast<const MSG*>(msg);
    return PresenceFromMessage(message->message, static_cast<std::uintptr_t>(message->wParam));
}

bool WatchSessionLock(void* window)
{
    return WTSRegisterSessionNotification(static_cast<HWND>(window), NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void StopWatchingSessionLock(void* window)
{
    WTSUnRegisterSessionNotification(static_cast<HWND>(window));
}

}  // namespace ambrin::platform
