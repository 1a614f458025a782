#include "core/TimeLog.h"

#include <algorithm>
#include <utility>

namespace ambrin {

namespace {

int CompareTicks(ClockTime a, ClockTime b)
{
    return a.Ticks() < b.Ticks() ? -1 : (a.Ticks() > b.Ticks() ? 1 : 0);
}

}  // namespace

int TimeRecordRef::Compare(const Comparable& other) const
{
    const TimeRecord& a = *record_;
    const TimeRecord& b = static_cast<const TimeRecordRef&>(other).Record();
    const int byStart = CompareTicks(a.start, b.start);
    return byStart != 0 ? byStart : CompareTicks(a.end, b.end);
}

TimeRecord& TimeLog::At(std::uint32_t index)
{
    Entry& entry = entries_[index];
    // Shared with another log since an Assign: this log gets its own copy before writing.
    if (entry.use_count() > 1) entry = std::make_shared<TimeRecord>(*entry);
    return *entry;
}

void TimeLog::Append(std::string_view project, std::string_view notes, ClockTime start,
                     ClockTime end)
{
    entries_.push_back(std::make_shared<TimeRecord>(
        TimeRecord{std::string(project), std::string(notes), start, end}));
}

void TimeLog::AppendCopy(const TimeRecord& record)
{
    entries_.push_back(std::make_shared<TimeRecord>(record));
}

void TimeLog::InsertAt(std::uint32_t index, std::string_view project, std::string_view notes,
                       ClockTime start, ClockTime end)
{
    auto record = std::make_shared<TimeRecord>(
        TimeRecord{std::string(project), std::string(notes), start, end});
    entries_.insert(entries_.begin() + std::min<std::size_t>(index, entries_.size()),
                    std::move(record));
}

void TimeLog::RemoveAt(std::uint32_t index)
{
    if (index < entries_.size()) entries_.erase(entries_.begin() + index);
}

void TimeLog::Clear()
{
    entries_.clear();
}

TimeLog& TimeLog::Assign(const TimeLog& other)
{
    if (&other != this) entries_ = other.entries_;  // shared until written
    return *this;
}

void TimeLog::SortByTime()
{
    const auto before = [](const auto& a, const auto& b) {
        return TimeRecordRef(*a).Compare(TimeRecordRef(*b)) < 0;
    };
    // A log kept by the strip is in time order already; one pass tells.
    if (!std::is_sorted(entries_.begin(), entries_.end(), before)) {
        std::sort(entries_.begin(), entries_.end(), before);
    }
}

TimeRecord* TimeLog::Current(bool create)
{
    if (!entries_.empty() && entries_.back()->end.IsEmpty()) return &At(Count() - 1);
    if (!create) return nullptr;
    Append({}, {}, ClockTime::Now(), ClockTime());
    return entries_.back().get();
}

void TimeLog::Adopt(std::vector<Entry> records)
{
    entries_ = std::move(records);
}

}  // namespace ambrin
