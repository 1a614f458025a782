#include "core/RunningStatus.h"

#include "core/ProjectName.h"
#include "core/SummaryText.h"
#include "core/TimeLog.h"

#include <algorithm>
#include <cstdio>

namespace ambrin {

namespace {

// Seconds that passed between two local times, the clock's changes taken out.
std::int64_t Passed(ClockTime from, ClockTime to, const UtcOffsetAt& offsetAt)
{
    return SecondsBetween(to, from) - (offsetAt(to) - offsetAt(from));
}

}  // namespace

RunningStatus StatusOf(const TimeLog& log, ClockTime now, const UtcOffsetAt& offsetAt)
{
    RunningStatus status;
    const CalendarFields f = now.Fields();
    ClockTime midnight;
    midnight.FromFields(f.year, f.month, f.day, 0, 0, 0);
    for (std::uint32_t i = log.Count(); i-- > 0;) {
        const TimeRecord& r = log.View(i);
        const ClockTime end = r.end.IsEmpty() ? now : r.end;
        if (i + 1 == log.Count() && r.end.IsEmpty() && IsWrittenProject(TrimSpaces(r.project)) && !r.start.IsEmpty()) {
            status.project = std::string(TrimSpaces(r.project));
            status.since = r.start;
            status.elapsedSeconds = std::max<std::int64_t>(0, Passed(r.start, now, offsetAt));
        }
        if (r.start.IsEmpty() || end < r.start) continue;
        if (end <= midnight) break;  // in time order: every earlier record ended before today
        if (!IsWrittenProject(TrimSpaces(r.project))) continue;
        const ClockTime from = std::max(r.start, midnight), to = std::min(end, now);
        if (from < to) status.todaySeconds += Passed(from, to, offsetAt);
    }
    return status;
}

std::vector<std::string> RecentProjects(const TimeLog& log, std::size_t count)
{
    std::vector<std::string> recent;
    for (std::uint32_t i = log.Count(); i-- > 0 && recent.size() < count;) {
        const std::string_view name = TrimSpaces(log.View(i).project);
        if (!IsWrittenProject(name)) continue;
        if (std::none_of(recent.begin(), recent.end(), [&](const std::string& known) { return SameName(known, name); })) {
            recent.emplace_back(name);
        }
    }
    return recent;
}

std::string StatusText(const RunningStatus& s)
{
    const std::string today = "(today " + FormatHoursMinutes(s.todaySeconds) + ")";
    if (s.project.empty()) return std::string(kIdleProject) + "  " + today;
    return s.project + "  " + FormatHoursMinutes(s.elapsedSeconds) + "  " + today;
}

std::string StatusJson(const RunningStatus& s)
{
    std::string out = "{\"project\": ";
    if (s.project.empty()) {
        out += "null, \"running\": false, \"since\": null, \"elapsed_seconds\": 0";
    } else {
        const CalendarFields f = s.since.Fields();
        char since[48];
        std::snprintf(since, sizeof since, "%04d-%02d-%02dT%02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
        out += JsonString(s.project) + ", \"running\": true, \"since\": \"" + since +
               "\", \"elapsed_seconds\": " + std::to_string(s.elapsedSeconds);
    }
    return out + ", \"today_seconds\": " + std::to_string(s.todaySeconds) + "}\n";
}

}  // namespace ambrin
