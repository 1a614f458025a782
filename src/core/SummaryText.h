#pragma once

#include "core/TimeSummary.h"

#include <string>

namespace ambrin {

// "1:42": hours and minutes, the seconds cut off.
std::string FormatHoursMinutes(std::int64_t seconds);

// The summary as people read it: a row per project, a column per period, totals on the right
// and at the bottom, hours as H:MM, the columns aligned; a last line tells of skipped records.
std::string SummaryAsTable(const TimeSummary& summary);
// The same table for a spreadsheet: cells between tabs, lines ended by CR LF, every empty
// cell "0:00" so that every cell sums.
std::string SummaryAsTabs(const TimeSummary& summary);
// A line per project and period with time: "period","project","hours","seconds", every field
// quoted, sorted by period then project; hours in decimal, two places.
std::string SummaryAsCsv(const TimeSummary& summary);
// {"from": ..., "to": ..., "by": ..., "rows": [{"period", "project", "seconds"}...],
//  "total_seconds": ..., "skipped": ...}, rows sorted by period then project.
std::string SummaryAsJson(const TimeSummary& summary);

const char* GroupingName(SummaryGrouping by);

// A JSON string in quotes: valid UTF-8 as it is, any other byte as the Latin-1 character of
// its value.
std::string JsonString(const std::string& text);  // "day", "week", "month"

}  // namespace ambrin
