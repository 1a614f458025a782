#include "core/TimeLog.h"

#include <algorithm>
#include <string>

namespace ambrin {

namespace {

int CompareTicks(ClockTime a, ClockTime b)
{
    return a.Ticks() < b.Ticks() ? -1 : (a.Ticks() > b.Ticks() ? 1 : 0);
}

// The order of TimeRecordRef::Compare, without its virtual calls: by start, then by end.
bool Before(const TimeRecord& a, const TimeRecord& b)
{
    return a.start != b.start ? a.start < b.start : a.end < b.end;
}

}  // namespace

int TimeRecordRef::Compare(const Comparable& other) const
{
    const TimeRecord& a = *record_;
    const TimeRecord& b = static_cast<const TimeRecordRef&>(other).Record();
    const int byStart = CompareTicks(a.start, b.start);
    return byStart != 0 ? byStart : CompareTicks(a.end, b.end);
}

TimeLog& TimeLog::operator=(TimeLog&& other) noexcept
{
    if (&other != this) {
        records_ = std::exchange(other.records_, {});
        inOrder_ = false;
        other.inOrder_ = false;
    }
    return *this;
}

TimeRecord& TimeLog::HandOut(std::uint32_t index) const
{
    inOrder_ = false;
    Entry& entry = records_[index];
    if (entry->holders > 1) entry = Entry(new Node{entry->record});
    entry->handedOut = true;
    return entry->record;
}

void TimeLog::Append(std::string_view project, std::string_view notes, ClockTime start, ClockTime end)
{
    inOrder_ = false;
    records_.emplace_back(new Node{TimeRecord{std::string(project), std::string(notes), start, end}});
}

void TimeLog::AppendCopy(const TimeRecord& record)
{
    inOrder_ = false;
    records_.emplace_back(new Node{record});
}

void TimeLog::InsertAt(std::uint32_t index, std::string_view project, std::string_view notes,
                       ClockTime start, ClockTime end)
{
    inOrder_ = false;
    const auto at = records_.begin() + std::min<std::ptrdiff_t>(index, static_cast<std::ptrdiff_t>(records_.size()));
    records_.emplace(at, new Node{TimeRecord{std::string(project), std::string(notes), start, end}});
}

void TimeLog::RemoveAt(std::uint32_t index)
{
    if (index < records_.size()) records_.erase(records_.begin() + index);
}

TimeLog& TimeLog::Assign(const TimeLog& other)
{
    if (&other == this) return *this;
    std::vector<Entry> records;
    records.reserve(other.records_.size());
    bool inOrder = true;
    for (const Entry& entry : other.records_) {
        if (!records.empty() && Before(entry->record, records.back()->record)) inOrder = false;
        records.push_back(entry->handedOut ? Entry(new Node{entry->record}) : entry.Share());
    }
    records_ = std::move(records);
    inOrder_ = inOrder;
    return *this;
}

void TimeLog::AppendLog(TimeLog other)
{
    inOrder_ = false;
    records_.insert(records_.end(), std::make_move_iterator(other.records_.begin()),
                    std::make_move_iterator(other.records_.end()));
}

void TimeLog::SortByTime()
{
    if (inOrder_) return;
    const auto before = [](const Entry& a, const Entry& b) { return Before(a->record, b->record); };
    // A log kept by the strip is in time order already: a pass that finds it so is all it costs.
    if (!std::is_sorted(records_.begin(), records_.end(), before)) std::sort(records_.begin(), records_.end(), before);
}

TimeRecord* TimeLog::Current(bool create)
{
    if (records_.empty() || !records_.back()->record.end.IsEmpty()) {
        if (!create) return nullptr;
        Append({}, {}, ClockTime::Now(), ClockTime());
    }
    return &HandOut(Count() - 1);
}

}  // namespace ambrin
