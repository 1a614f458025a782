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

TimeLog::Entries& TimeLog::Own()
{
    if (!entries_) {
        entries_ = std::make_shared<Entries>();
    } else if (entries_.use_count() > 1) {
        entries_ = std::make_shared<Entries>(*entries_);  // the same records, a list of its own
    }
    return *entries_;
}

TimeRecord& TimeLog::At(std::uint32_t index)
{
    Entry& entry = Own()[index];
    // Shared with another log since an Assign: this log gets its own copy before writing.
    if (entry.Shared()) entry = Entry(*entry);
    return *entry;
}

void TimeLog::Append(std::string_view project, std::string_view notes, ClockTime start,
                     ClockTime end)
{
    Own().emplace_back(TimeRecord{std::string(project), std::string(notes), start, end});
}

void TimeLog::AppendCopy(const TimeRecord& record)
{
    Own().emplace_back(record);
}

void TimeLog::InsertAt(std::uint32_t index, std::string_view project, std::string_view notes,
                       ClockTime start, ClockTime end)
{
    Entry record(TimeRecord{std::string(project), std::string(notes), start, end});
    Entries& entries = Own();
    entries.insert(entries.begin() + std::min<std::size_t>(index, entries.size()), std::move(record));
}

void TimeLog::RemoveAt(std::uint32_t index)
{
    if (index < Count()) {
        Entries& entries = Own();
        entries.erase(entries.begin() + index);
    }
}

void TimeLog::Clear()
{
    entries_.reset();  // a shared list stays as it is for the other log
}

TimeLog& TimeLog::Assign(const TimeLog& other)
{
    if (&other != this) entries_ = other.entries_;  // shared until changed
    return *this;
}

void TimeLog::SortByTime()
{
    if (!entries_) return;
    const auto before = [](const auto& a, const auto& b) {
        return TimeRecordRef(*a).Compare(TimeRecordRef(*b)) < 0;
    };
    // A log kept by the strip is in time order already; one pass tells, and leaves a
    // shared list shared.
    if (!std::is_sorted(entries_->begin(), entries_->end(), before)) {
        Entries& entries = Own();
        std::sort(entries.begin(), entries.end(), before);
    }
}

TimeRecord* TimeLog::Current(bool create)
{
    if (Count() > 0 && entries_->back()->end.IsEmpty()) return &At(Count() - 1);
    if (!create) return nullptr;
    Append({}, {}, ClockTime::Now(), ClockTime());
    return &*entries_->back();
}

void TimeLog::Adopt(std::vector<Entry> records)
{
    entries_ = std::make_shared<Entries>(std::move(records));
}

}  // namespace ambrin
