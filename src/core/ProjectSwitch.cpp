#include "core/ProjectSwitch.h"

#include "core/ProjectName.h"
#include "core/TimeLog.h"

#include <string>

namespace ambrin {

bool SwitchProject(TimeLog& log, std::string_view name, ClockTime at, bool round)
{
    name = TrimSpaces(name);
    TimeRecord* record = log.Current(true);
    if (SameName(name, TrimSpaces(record->project))) return false;
    if (round) at = RoundToQuarterHour(at);
    if (!record->project.empty()) {
        record->end = at;
        record = log.Current(true);
    }
    record->start = at;
    record->end.Clear();
    record->project = std::string(name);
    return true;
}

}  // namespace ambrin
