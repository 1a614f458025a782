#pragma once

#include "core/TimeRecord.h"

#include <cstdint>
#include <iosfwd>
#include <string_view>
#include <utility>
#include <vector>

namespace ambrin {

// The ordered list of records. Each record is allocated on its own and only the entries
// move, so a reference to a record stays valid until that record is removed or the log is
// cleared, assigned to or destroyed.
//
// Assign shares the other log's records instead of copying 100,000 of them (the Edit Log
// opens on a copy). A record is shared only while no log has handed out a reference to it:
// At and Current first give the log a record of its own, and Assign copies every record the
// other log has handed out. A reference handed out therefore always names a record of that
// log alone, and the logs stay independent.
class TimeLog {
public:
    TimeLog() = default;
    TimeLog(const TimeLog&) = delete;
    TimeLog& operator=(const TimeLog&) = delete;
    // A log moved from is empty.
    TimeLog(TimeLog&& other) noexcept : records_(std::exchange(other.records_, {})) { other.inOrder_ = false; }
    TimeLog& operator=(TimeLog&& other) noexcept;
    ~TimeLog() = default;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(records_.size()); }
    TimeRecord& At(std::uint32_t index) { return HandOut(index); }
    const TimeRecord& At(std::uint32_t index) const { return HandOut(index); }
    // The record's fields to read at once, without handing it out: the reference is not to be
    // kept past a change of this log or of one sharing its records.
    const TimeRecord& View(std::uint32_t index) const { return records_[index]->record; }

    void Append(std::string_view project, std::string_view notes, ClockTime start, ClockTime end);
    void AppendCopy(const TimeRecord& record);
    void InsertAt(std::uint32_t index, std::string_view project, std::string_view notes,
                  ClockTime start, ClockTime end);
    void RemoveAt(std::uint32_t index);
    void Clear() { records_.clear(); }
    TimeLog& Assign(const TimeLog& other);
    void SortByTime();

    // Moves the other log's records, in their order, to the end of this one.
    void AppendLog(TimeLog other);
    // Makes room for this many records in all, so that appending them moves no entry.
    void Reserve(std::uint32_t count) { records_.reserve(count); }

    // The open record (the last one, when its end is empty); with create, one is made.
    TimeRecord* Current(bool create);

    // The log file's text form (core/LogWriter.cpp, core/LogReader.cpp). Both report a failed
    // stream through the result; a failed read leaves the log as it was.
    bool WriteCsv(std::ostream& out, bool includeTotals) const;
    bool ReadCsv(std::istream& in);

private:
    // A record and the number of logs holding it. The count is a plain integer: logs that
    // share records are used from one thread at a time (a reader builds its log on its own
    // thread and hands it over whole).
    struct Node {
        TimeRecord record;
        std::uint32_t holders = 1;
        bool handedOut = false;
    };
    // One log's hold on a node.
    class Entry {
    public:
        explicit Entry(Node* node) noexcept : node_(node) {}
        Entry(Entry&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}
        Entry& operator=(Entry&& other) noexcept
        {
            std::swap(node_, other.node_);
            return *this;
        }
        ~Entry()
        {
            if (node_ && --node_->holders == 0) delete node_;
        }
        Node* operator->() const { return node_; }
        Entry Share() const
        {
            ++node_->holders;
            return Entry(node_);
        }

    private:
        Node* node_;
    };

    TimeRecord& HandOut(std::uint32_t index) const;

    mutable std::vector<Entry> records_;  // handing out a shared record gives it a copy of its own
    // Known to be in time order: set by Assign, which found it so while sharing the records
    // (none of which anyone can reach yet), and forgotten at any change or hand-out.
    mutable bool inOrder_ = false;
};

}  // namespace ambrin
