#pragma once

namespace ambrin::platform {

// The end of a session as the system tells a program: SIGTERM (logout, shutdown, kill),
// SIGHUP (the terminal gone) and SIGINT (Ctrl+C). Returns a descriptor that becomes readable
// once one arrives: the handler only writes to a pipe, the one thing it may safely do, and the
// program ends in order from its event loop. -1 where the session's end comes otherwise (on
// Windows, as a message to the windows).
int WatchSessionEndSignals();
// Empties the descriptor once its signals are handled.
void DrainSessionEndSignals();
// The signals end the program again at once, as before the watch.
void StopWatchingSessionEndSignals();

}  // namespace ambrin::platform
