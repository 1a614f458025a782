#pragma once

#include "core/TimeLog.h"
#include "storage/ProjectList.h"
#include "support/LogGenerator.h"

namespace ambrin::test {

inline constexpr std::size_t kKillTestRecords = 10'000;

// Two versions that differ in every file: a record more, other notes, totals or not, and
// another project list.
inline void FillKillTestVersion(int version, TimeLog& log, ProjectList& projects)
{
    static const TimeLog base = GenerateLog(kKillTestRecords);
    log.Assign(base);
    if (version == 1) log.Append("Version B", "saved, \"second\"", ClockTime(1), ClockTime(2));
    projects = ProjectList();
    for (const char* name : {"Alpha", "Beta", version == 1 ? "Gamma B" : "Gamma A"}) projects.AddName(name);
}

}  // namespace ambrin::test
