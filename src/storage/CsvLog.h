#pragma once

#include "core/CsvField.h"
#include "core/TimeLog.h"

#include <cstdint>
#include <iosfwd>
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

    // False when the stream failed; the bytes already written may be partial.
    bool Write(std::ostream& out) const;
    // Replaces the rows with those of the stream; on a read error returns false and leaves
    // the table as it was.
    bool Read(std::istream& in);

private:
    std::vector<CsvRow> rows_;
};

// Reads a log file as ReadCsv reads a stream. False when the file cannot be opened or read
// (a read error is never taken for its end); the log then stays as it was.
bool ReadCsvFile(TimeLog& log, const std::string& path);

}  // namespace ambrin
