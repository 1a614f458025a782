#pragma once

#include <cstdint>
#include <string>

namespace ambrin::platform {

// A folder only this user may enter, for the program's local socket: $XDG_RUNTIME_DIR when it
// is one, else ambrin-<uid> in the temporary folder, made and checked; empty when none can be
// had (a folder of that name belongs to someone else). On Windows, empty: named pipes carry
// their own access list.
std::string PrivateSocketFolder();

// Whether the other end of a connected local socket runs as this user.
bool PeerIsThisUser(std::intptr_t socket);

}  // namespace ambrin::platform
