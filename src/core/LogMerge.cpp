#include "core/LogMerge.h"

#include "core/TimeLog.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>
#include <vector>

namespace ambrin {

namespace {

// Times as the log file holds them, to the minute: a record read back from the file is the
// same record as the one memory holds with its seconds.
std::uint64_t Minute(ClockTime time)
{
    return time.Ticks() / kTicksPerMinute;
}

// Time order, a running record after the ended ones of its start: the log's last record is
// the one that runs.
auto Key(const TimeRecord& r)
{
    return std::make_tuple(Minute(r.start), r.end.IsEmpty(), Minute(r.end), std::cref(r.project), std::cref(r.notes));
}

bool Before(const TimeRecord* a, const TimeRecord* b)
{
    // Among records the same to the minute, the one with seconds (memory's) comes last.
    return std::make_tuple(Key(*a), a->start.Ticks(), a->end.Ticks()) <
           std::make_tuple(Key(*b), b->start.Ticks(), b->end.Ticks());
}

// The ended version of a running record: the same start, project and notes, and an end.
bool Ends(const TimeRecord& ended, const TimeRecord& running)
{
    return running.end.IsEmpty() && !ended.end.IsEmpty() && Minute(ended.start) == Minute(running.start) &&
           ended.project == running.project && ended.notes == running.notes;
}

}  // namespace

void MergeLogs(TimeLog& log, const TimeLog& other)
{
    std::vector<const TimeRecord*> records;
    records.reserve(log.Count() + other.Count());
    for (const TimeLog* from : std::initializer_list<const TimeLog*>{&log, &other}) {
        for (std::uint32_t i = 0; i < from->Count(); ++i) records.push_back(&from->View(i));
    }
    std::sort(records.begin(), records.end(), Before);
    // A record in both is kept once: the last of those the same to the minute.
    std::vector<const TimeRecord*> kept;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i + 1 < records.size() && Key(*records[i]) == Key(*records[i + 1])) continue;
        // A running record's ended versions come before it, among the records of its start.
        bool ended = false;
        for (std::size_t j = i; !ended && j-- > 0 && Minute(records[j]->start) == Minute(records[i]->start);) {
            ended = Ends(*records[j], *records[i]);
        }
        if (!ended) kept.push_back(records[i]);
    }
    TimeLog merged;
    merged.Reserve(static_cast<std::uint32_t>(kept.size()));
    for (const TimeRecord* record : kept) merged.AppendCopy(*record);
    log = std::move(merged);
}

}  // namespace ambrin
