#pragma once

namespace ambrin::platform {

// Marks the upper halves of the processor's vector registers as unused. Code that used them
// and did not clear them (in the window system's libraries) makes every SSE instruction after
// it pay for a merge, until they are cleared; a new thread starts with the state of the
// thread that made it. Heavy work on a thread calls this first. Nothing where there is no
// such state.
void ClearUpperVectorState();

}  // namespace ambrin::platform
