#pragma once

#include "core/TimeLog.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ambrin {

// The log file's row layer: every field quoted, commas between, CR LF after each row.
class CsvRow {
public:
    void AddField(std::string_view text) { fields_.emplace_back(text); }
    void AddField(std::uint64_t number) { fields_.push_back(std::to_string(number)); }

    std::size_t Count() const { return fields_.size(); }
    const std::string& Field(std::size_t index) const { return fields_[index]; }
    const std::vector<std::string>& Fields() const { return fields_; }

    friend bool operator==(const CsvRow&, const CsvRow&) = default;

private:
    std::vector<std::string> fields_;
};

class CsvTable {
public:
    void AddRow(CsvRow row) { rows_.push_back(std::move(row)); }
    std::size_t Count() const { return rows_.size(); }
    const CsvRow& Row(std::size_t index) const { return rows_[index]; }

    // False when the stream failed; writing, the bytes already written may be partial.
    bool Write(std::ostream& out) const;
    // Replaces the rows with those of the stream; on a read error returns false and
    // leaves the table as it was.
    bool Read(std::istream& in);

private:
    std::vector<CsvRow> rows_;
};

// A position in one line (no LF) for NextField. afterComma remembers that the last
// field ended at a comma, so a comma at the end of the line yields an empty last field.
struct FieldCursor {
    std::string_view line;
    std::size_t pos = 0;
    bool afterComma = false;
};

std::string EncodeField(std::string_view text);
void AppendEncodedField(std::string& out, std::string_view text);
std::string DecodeField(std::string_view text);
// Sets field to the next decoded field and moves past it; false when none is left.
bool NextField(FieldCursor& cursor, std::string& field);

// Bytes made for one write: allocated once at their largest size, never zero-filled.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t capacity) : data_(new char[capacity]), capacity_(capacity) {}
    char* Data() { return data_.get(); }
    std::size_t Capacity() const { return capacity_; }
    void SetSize(std::size_t size) { size_ = size; }
    std::string_view View() const { return {data_.get(), size_}; }
    // Keeps the first used bytes in a buffer of the new capacity.
    void Grow(std::size_t capacity, std::size_t used);

private:
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// The bytes WriteCsv writes, for callers that hand them on whole (the safe replacement).
ByteBuffer EncodeLog(const TimeLog& log, bool includeTotals);
// The same into a buffer kept from one save to the next: its pages are in memory already,
// where a new buffer's would each be faulted in again. A buffer far larger than the log
// needs is given back first.
void EncodeLog(const TimeLog& log, bool includeTotals, ByteBuffer& into);

struct PartRead;

// Lets a thread join a file read under way on another: while ReadCsvFile reads a large file
// with this help, Join reads parts of it on the calling thread until none is left. A thread
// with work of its own to finish first (the window thread at start-up) joins once it is free,
// instead of waiting for the reader idle.
class LogReadHelp {
public:
    LogReadHelp();
    ~LogReadHelp();
    LogReadHelp(const LogReadHelp&) = delete;
    LogReadHelp& operator=(const LogReadHelp&) = delete;

    // Reads parts until none is left, and returns how many it read; returns at once when no
    // read has parts to share.
    std::size_t Join();

private:
    friend bool ReadCsvFile(TimeLog& log, const std::string& path, LogReadHelp* help);
    void Open(PartRead& read);
    // No thread joins from now on; waits for those that have to finish.
    void Close();

    std::mutex mutex_;
    std::condition_variable left_;
    PartRead* open_ = nullptr;
    int joined_ = 0;
};

// Reads a log file as ReadCsv reads it; a large one in parts at once, each beginning where a
// line begins. False when the file cannot be opened or read; the log then stays as it was.
// With help, other threads may join the read.
bool ReadCsvFile(TimeLog& log, const std::string& path, LogReadHelp* help = nullptr);
// Files from this size on are read in parts: one for about every kPartBytes, at least two
// and at most kMaxParts.
constexpr std::uint64_t kSplitReadBytes = 1024 * 1024;
constexpr std::uint64_t kPartBytes = 256 * 1024;
constexpr std::uint64_t kMaxParts = 64;
// Where ReadCsvFile's parts begin after the first, in order: for each even mark across the
// file, the start of the first line at or after it (found within 1 MiB of it; marks with
// none are left out). Empty when the file is read whole.
std::vector<std::uint64_t> SplitOffsets(const std::string& path);

// Reads the whole stream; false on a read error (a stream that failed before its end).
bool ReadWholeStream(std::istream& in, std::string& data);

}  // namespace ambrin
