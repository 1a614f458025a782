#include "core/TimeLog.h"

#include <algorithm>
#include <atomic>
#include <new>
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

// A block of record nodes that one log fills in turn. It counts its nodes still held, plus
// one while the log may still fill it; whichever brings the count to zero gives it back.
// Nodes are taken with no atomic operation: the count starts at the slab's capacity, and
// the places never filled are taken off when the log moves on.
class RecordSlab {
public:
    using Node = RecordEntry::Node;
    static constexpr std::uint32_t kFirstNodes = 16;
    static constexpr std::uint32_t kMostNodes = 680;  // about 64 KiB

    static RecordSlab* Make(std::uint32_t capacity)
    {
        static_assert(sizeof(RecordSlab) % alignof(Node) == 0);  // the nodes follow it
        void* memory = ::operator new(sizeof(RecordSlab) + capacity * sizeof(Node));
        return new (memory) RecordSlab(capacity);
    }
    static void Give(RecordSlab* slab, std::size_t count) noexcept
    {
        if (slab->held_.fetch_sub(count, std::memory_order_acq_rel) == count) {
            slab->~RecordSlab();
            ::operator delete(slab);
        }
    }
    bool Full() const { return used_ == capacity_; }
    std::uint32_t Capacity() const { return capacity_; }
    Node* Take() { return reinterpret_cast<Node*>(reinterpret_cast<unsigned char*>(this + 1) + sizeof(Node) * used_++); }
    // Gives up the places never taken, and the filling log's count.
    void Retire() noexcept { Give(this, capacity_ - used_ + 1); }

private:
    explicit RecordSlab(std::uint32_t capacity) : held_(std::size_t{capacity} + 1), capacity_(capacity) {}

    std::atomic<std::size_t> held_;
    std::uint32_t capacity_;
    std::uint32_t used_ = 0;
};

void RecordFilling::Retire() noexcept
{
    if (slab_) slab_->Retire();
    slab_ = nullptr;
}

RecordEntry::RecordEntry(TimeRecord record, RecordFilling& filling)
{
    RecordSlab*& slab = filling.slab_;
    if (slab == nullptr || slab->Full()) {
        const std::uint32_t capacity =
            slab ? std::min(slab->Capacity() * 4, RecordSlab::kMostNodes) : RecordSlab::kFirstNodes;
        RecordSlab* next = RecordSlab::Make(capacity);
        filling.Retire();
        slab = next;
    }
    node_ = new (slab->Take()) Node{std::move(record), 1, slab};  // moves only: cannot throw
}

void RecordEntry::Release(Node* node) noexcept
{
    RecordSlab* slab = node->slab;
    node->~Node();
    RecordSlab::Give(slab, 1);
}

namespace {

bool Before(const RecordEntry& a, const RecordEntry& b)
{
    return TimeRecordRef(*a).Compare(TimeRecordRef(*b)) < 0;
}

}  // namespace

TimeLog::Block& TimeLog::OwnBlock(std::size_t b)
{
    std::shared_ptr<Block>& block = blocks_[b];
    if (block.use_count() > 1) block = std::make_shared<Block>(*block);  // the same records
    block->order = kOrderUnknown;
    return *block;
}

TimeRecord& TimeLog::At(std::uint32_t index)
{
    Entry& entry = OwnBlock(index >> kBlockBits).entries[index & (kBlockSize - 1)];
    // Shared with another log since an Assign: this log gets its own copy before writing.
    if (entry.Shared()) entry = Entry(*entry, filling_);
    return *entry;
}

void TimeLog::Push(Entry entry)
{
    if (blocks_.empty() || blocks_.back()->entries.size() == kBlockSize) {
        blocks_.push_back(std::make_shared<Block>());
        blocks_.back()->entries.reserve(kBlockSize);
    }
    OwnBlock(blocks_.size() - 1).entries.push_back(std::move(entry));
    ++count_;
}

void TimeLog::Append(std::string_view project, std::string_view notes, ClockTime start,
                     ClockTime end)
{
    Push(Entry(TimeRecord{std::string(project), std::string(notes), start, end}, filling_));
}

void TimeLog::AppendCopy(const TimeRecord& record)
{
    Push(Entry(record, filling_));
}

void TimeLog::InsertAt(std::uint32_t index, std::string_view project, std::string_view notes,
                       ClockTime start, ClockTime end)
{
    Entry carried(TimeRecord{std::string(project), std::string(notes), start, end}, filling_);
    if (index >= count_) {
        Push(std::move(carried));
        return;
    }
    // Each block from the one that takes the record on passes its last entry to the next.
    std::size_t offset = index & (kBlockSize - 1);
    for (std::size_t b = index >> kBlockBits; b < blocks_.size(); ++b, offset = 0) {
        std::vector<Entry>& entries = OwnBlock(b).entries;
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(offset), std::move(carried));
        if (entries.size() <= kBlockSize) {
            ++count_;
            return;
        }
        carried = std::move(entries.back());
        entries.pop_back();
    }
    Push(std::move(carried));  // out of the last block, full: the count grows here
}

void TimeLog::CloseUp(std::size_t from)
{
    const std::size_t gap = kBlockSize - blocks_[from - 1]->entries.size();
    for (std::size_t b = from; gap > 0 && b < blocks_.size(); ++b) {
        std::vector<Entry>& before = OwnBlock(b - 1).entries;
        std::vector<Entry>& entries = OwnBlock(b).entries;
        const auto moved = entries.begin() + static_cast<std::ptrdiff_t>(std::min(gap, entries.size()));
        before.insert(before.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(moved));
        entries.erase(entries.begin(), moved);
    }
    if (blocks_.back()->entries.empty()) blocks_.pop_back();
}

void TimeLog::RemoveAt(std::uint32_t index)
{
    if (index >= count_) return;
    const std::size_t b = index >> kBlockBits;
    std::vector<Entry>& entries = OwnBlock(b).entries;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index & (kBlockSize - 1)));
    CloseUp(b + 1);
    --count_;
}

void TimeLog::Clear()
{
    blocks_.clear();  // shared blocks stay as they are for the other log
    count_ = 0;
}

TimeLog& TimeLog::Assign(const TimeLog& other)
{
    if (&other != this) {
        blocks_ = other.blocks_;  // shared until changed
        count_ = other.count_;
    }
    return *this;
}

bool TimeLog::InTimeOrder() const
{
    // Blocks whose order is known are not read again: opening a copy of a long log that
    // changed only at its end looks at that end and the blocks' boundaries.
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const Block& block = *blocks_[b];
        if (block.order == kOrderUnknown) {
            block.order = std::is_sorted(block.entries.begin(), block.entries.end(), Before) ? 1 : 0;
        }
        if (block.order == 0) return false;
        if (b > 0 && Before(block.entries.front(), blocks_[b - 1]->entries.back())) return false;
    }
    return true;
}

void TimeLog::SortByTime()
{
    // A log kept by the strip is in time order already, and a shared one stays shared.
    if (InTimeOrder()) return;
    std::vector<Entry> entries;
    entries.reserve(count_);
    for (const auto& block : blocks_) entries.insert(entries.end(), block->entries.begin(), block->entries.end());
    std::sort(entries.begin(), entries.end(), Before);
    Clear();
    for (Entry& entry : entries) Push(std::move(entry));
    for (const auto& block : blocks_) block->order = 1;
}

TimeRecord* TimeLog::Current(bool create)
{
    if (count_ > 0 && std::as_const(*this).At(count_ - 1).end.IsEmpty()) return &At(count_ - 1);
    if (!create) return nullptr;
    Append({}, {}, ClockTime::Now(), ClockTime());
    return &At(count_ - 1);
}

void TimeLog::AppendLog(TimeLog other)
{
    const std::size_t joint = blocks_.size();
    blocks_.insert(blocks_.end(), std::make_move_iterator(other.blocks_.begin()),
                   std::make_move_iterator(other.blocks_.end()));
    count_ += other.count_;
    if (joint > 0 && joint < blocks_.size()) CloseUp(joint);
}

}  // namespace ambrin
