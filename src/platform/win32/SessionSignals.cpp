#include "platform/SessionSignals.h"

namespace ambrin::platform {

int WatchSessionEndSignals()
{
    return -1;  // the session's end reaches the windows as WM_QUERYENDSESSION
}

void DrainSessionEndSignals() {}

void StopWatchingSessionEndSignals() {}

}  // namespace ambrin::platform
