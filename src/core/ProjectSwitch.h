#pragma once

#include "core/ClockTime.h"

#include <string_view>

namespace ambrin {

class TimeLog;

// A change of project at a moment: the open record ends there (unless it is blank, when it
// is reused with its notes) and a record of the new project starts there. The name is
// trimmed; a name equal to the running one, ignoring ASCII case, changes nothing. With
// round, the moment is taken to the nearest quarter hour first. True when the log changed.
bool SwitchProject(TimeLog& log, std::string_view name, ClockTime at, bool round);

}  // namespace ambrin
