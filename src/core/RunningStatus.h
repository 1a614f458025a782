#pragma once

#include "core/TimeSummary.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ambrin {

class TimeLog;

// What runs now and how the day stands: for the project box's tooltip and `ambrin --status`.
struct RunningStatus {
    std::string project;  // the running project; empty when nothing (or "<idle>") runs
    ClockTime since;
    std::int64_t elapsedSeconds = 0;
    std::int64_t todaySeconds = 0;  // today's records up to now, "<idle>" not counted
};

// From the end of the log, records in time order: it reads back only to today's first record.
// The hours that passed count, on a day the local clock changes too.
RunningStatus StatusOf(const TimeLog& log, ClockTime now, const UtcOffsetAt& offsetAt);

// The last projects used, the latest first, each once (names the same but for ASCII case are
// one), "<idle>" and blank names left out.
std::vector<std::string> RecentProjects(const TimeLog& log, std::size_t count);

// "Website redesign  1:42  (today 6:05)", or "<idle>  (today 6:05)".
std::string StatusText(const RunningStatus& status);
// {"project": "Website redesign", "running": true, "since": "2026-12-07T09:05:00",
//  "elapsed_seconds": 6120, "today_seconds": 21900}; "project": null, "running": false idle.
std::string StatusJson(const RunningStatus& status);

}  // namespace ambrin
