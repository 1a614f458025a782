#include "core/LogMerge.h"

#include "core/TimeLog.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>
#include <vector>

namespace ambrin {

namespace {

auto Key(const TimeRecord& r)
{
    return std::tie(r.start, r.end, r.project, r.notes);
}

// The ended version of a running record: the same start, project and notes, and an end.
bool Ends(const TimeRecord& ended, const TimeRecord& running)
{
    return running.end.IsEmpty() && !ended.end.IsEmpty() && ended.start == running.start &&
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
    std::sort(records.begin(), records.end(), [](const TimeRecord* a, const TimeRecord* b) { return Key(*a) < Key(*b); });
    records.erase(std::unique(records.begin(), records.end(),
                              [](const TimeRecord* a, const TimeRecord* b) { return Key(*a) == Key(*b); }),
                  records.end());
    // An empty end sorts first among equal starts: a running record's ended versions follow it,
    // among the records of the same start.
    std::vector<const TimeRecord*> kept;
    for (std::size_t i = 0; i < records.size(); ++i) {
        bool ended = false;
        for (std::size_t j = i + 1; !ended && j < records.size() && records[j]->start == records[i]->start; ++j) {
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
