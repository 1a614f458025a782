#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace ambrin::platform {

// The session's own count of time since the last keyboard or mouse input.
class IdleCounter {
public:
    virtual ~IdleCounter() = default;
    // Milliseconds since the last input; nothing when the count cannot be read now.
    virtual std::optional<std::int64_t> IdleMilliseconds() = 0;
};

// The display server's counter: on X11 the screen-saver extension's, on its own connection to
// $DISPLAY (on a Wayland session XWayland counts only X programs' input: do not use it there);
// on Windows the last input of the session. Null when there is none.
std::unique_ptr<IdleCounter> OpenDisplayIdleCounter();

#ifdef _WIN32
// What a window's message says of presence: the session locked or unlocked, the machine
// about to sleep or resumed.
enum class PresenceChange { None, Away, Back };
PresenceChange PresenceFromMessage(unsigned message, std::uintptr_t wParam);
PresenceChange PresenceFromMessage(const void* msg);  // a MSG, as a native event filter gets it
// Asks for the session's lock and unlock to reach a window (an HWND) as messages.
bool WatchSessionLock(void* window);
void StopWatchingSessionLock(void* window);
#endif

}  // namespace ambrin::platform
