#pragma once

#include <string>

namespace ambrin::platform {

// Whether the desktop starts the program when the user logs in: an XDG autostart entry
// (~/.config/autostart/ambrin.desktop), or the user's Run key on Windows.
bool StartsAtLogin();
// Adds the entry for program (its full path), or removes it; false when that failed, with the
// system's words in reason.
bool SetStartAtLogin(bool on, const std::string& program, std::string& reason);

}  // namespace ambrin::platform
