#pragma once

#include "core/TimeRecord.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace ambrin {

// One record, counted by the logs that hold it. The count is a plain integer: the logs
// that share records are used from one thread at a time (the file reader builds its
// records on its own threads and hands them over whole), and copying a list of 100,000
// records with atomic counts cost milliseconds on both its copy and its end.
//
// Records are carved from slabs that each log fills in turn (RecordFilling), not allocated
// one by one: reading a log makes 100,000 of them, and a general allocation cost more than
// reading the record's fields. A slab is given back once every record in it has gone.
class RecordSlab;
class RecordFilling;

class RecordEntry {
public:
    RecordEntry() = default;
    RecordEntry(TimeRecord record, RecordFilling& filling);
    RecordEntry(const RecordEntry& other) noexcept : node_(other.node_)
    {
        if (node_) ++node_->holders;
    }
    RecordEntry(RecordEntry&& other) noexcept : node_(other.node_) { other.node_ = nullptr; }
    RecordEntry& operator=(RecordEntry other) noexcept
    {
        std::swap(node_, other.node_);
        return *this;
    }
    ~RecordEntry()
    {
        if (node_ && --node_->holders == 0) Release(node_);
    }

    TimeRecord& operator*() const { return node_->record; }
    TimeRecord* operator->() const { return &node_->record; }
    // Held by more than one log.
    bool Shared() const { return node_ && node_->holders > 1; }

private:
    friend class RecordSlab;
    struct Node {
        TimeRecord record;
        std::uint32_t holders;
        RecordSlab* slab;
    };
    static void Release(Node* node) noexcept;
    Node* node_ = nullptr;
};

// The slab a log fills with the records it makes: each a few times the one before, from a
// small one (a log of ten records takes little) to about 64 KiB. A slab counts the records
// still held in it, plus one while a log may still fill it; the last to let go gives it
// back, whatever thread that is on.
class RecordFilling {
public:
    RecordFilling() = default;
    ~RecordFilling() { Retire(); }
    RecordFilling(RecordFilling&& other) noexcept : slab_(std::exchange(other.slab_, nullptr)) {}
    RecordFilling& operator=(RecordFilling&& other) noexcept
    {
        std::swap(slab_, other.slab_);
        return *this;
    }
    RecordFilling(const RecordFilling&) = delete;
    RecordFilling& operator=(const RecordFilling&) = delete;

private:
    friend class RecordEntry;
    void Retire() noexcept;
    RecordSlab* slab_ = nullptr;
};

// The ordered list of records. Records are allocated one by one and only the entries
// move, so a reference to a record stays valid until that record is removed.
//
// The entries sit in blocks of kBlockSize (every block full but the last), and Assign
// shares the other log's blocks instead of copying them. A block is copied the first time
// either log changes it (adding, removing, writing a record in it), and a record the first
// time either log hands it out for writing (At, Current). The logs stay independent: a
// copy of 100,000 records costs a hundred pointers, and a change to it copies one block's
// pointers, never the texts. A reference taken for writing is the log's own until the log
// is next assigned to another, and it is for changes made before the log's next call.
class TimeLog {
public:
    static constexpr std::uint32_t kBlockBits = 10;
    static constexpr std::uint32_t kBlockSize = 1u << kBlockBits;

    TimeLog() = default;
    TimeLog(const TimeLog&) = delete;
    TimeLog& operator=(const TimeLog&) = delete;
    TimeLog(TimeLog&&) noexcept = default;
    TimeLog& operator=(TimeLog&&) noexcept = default;

    std::uint32_t Count() const { return count_; }
    TimeRecord& At(std::uint32_t index);
    const TimeRecord& At(std::uint32_t index) const
    {
        return *blocks_[index >> kBlockBits]->entries[index & (kBlockSize - 1)];
    }

    void Append(std::string_view project, std::string_view notes, ClockTime start,
                ClockTime end);
    void AppendCopy(const TimeRecord& record);
    void InsertAt(std::uint32_t index, std::string_view project, std::string_view notes,
                  ClockTime start, ClockTime end);
    void RemoveAt(std::uint32_t index);
    void Clear();
    TimeLog& Assign(const TimeLog& other);
    void SortByTime();

    // The open record (the last one, when its end is empty); with create, one is made.
    TimeRecord* Current(bool create);

    // Log file form (storage/CsvLog.cpp). Both report a failed stream through the result;
    // a failed read leaves the log as it was.
    bool WriteCsv(std::ostream& out, bool includeTotals) const;
    bool ReadCsv(std::istream& in);

    // Moves the other log's records to the end of this one. The entries close up inside the
    // blocks they came in (a reader's log joins the whole log without new blocks or copies).
    void AppendLog(TimeLog other);

private:
    using Entry = RecordEntry;
    struct Block {
        std::vector<Entry> entries;
        // Whether the block's records are known to be in time order: kept with the block
        // while it is shared (its content cannot change then), forgotten when it is changed.
        mutable signed char order = kOrderUnknown;
    };
    static constexpr signed char kOrderUnknown = -1;

    // Block b, made this log's alone first if it is shared, and its order forgotten.
    Block& OwnBlock(std::size_t b);
    void Push(Entry entry);
    // Only a log's last block may be short: from block `from` on, each block fills the one
    // before it from its own front, and a last block left empty goes.
    void CloseUp(std::size_t from);
    bool InTimeOrder() const;

    std::vector<std::shared_ptr<Block>> blocks_;
    std::uint32_t count_ = 0;
    RecordFilling filling_;  // the records this log makes
};

}  // namespace ambrin
