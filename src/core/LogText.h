#pragma once

#include "core/ClockTime.h"

#include <deque>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace ambrin {

class TimeLog;

// The bytes TimeLog::WriteCsv writes, handed to write a piece at a time (about 256 KiB), so
// that memory stays small whatever the log's length; false when write refused a piece.
bool WriteLogPieces(const TimeLog& log, bool includeTotals, const std::function<bool(std::string_view)>& write);

// Cuts bytes fed in pieces into lines (without their LF); a line cut between two pieces is
// joined first. onLine is called with each line.
class LineSplitter {
public:
    using OnLine = std::function<void(std::string_view)>;
    // fileStart: the bytes begin a file, whose UTF-8 byte-order mark (a spreadsheet's) is no text.
    explicit LineSplitter(bool fileStart) : fileStart_(fileStart) {}

    template <typename OnLineFn>
    void Feed(std::string_view bytes, OnLineFn&& onLine)
    {
        for (std::size_t lf; (lf = bytes.find('\n')) != std::string_view::npos; bytes.remove_prefix(lf + 1)) {
            if (carry_.empty()) {
                Emit(bytes.substr(0, lf), onLine);
            } else {
                carry_.append(bytes.substr(0, lf));
                Emit(carry_, onLine);
                carry_.clear();
            }
        }
        carry_.append(bytes);
    }
    // The last line, when the bytes ended without a line end.
    template <typename OnLineFn>
    void Finish(OnLineFn&& onLine)
    {
        if (!carry_.empty()) Emit(carry_, onLine);
        carry_.clear();
    }

private:
    template <typename OnLineFn>
    void Emit(std::string_view line, OnLineFn& onLine)
    {
        if (fileStart_ && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        fileStart_ = false;
        onLine(line);
    }

    std::string carry_;
    bool fileStart_;
};

// Calls onLine for each line of the stream; false on a read error (a stream that failed
// before its end).
bool ForEachLine(std::istream& in, const LineSplitter::OnLine& onLine);

// Makes records of a log file's lines, appended to a log in file order: the layout is told
// by each row's number of fields.
class LogLineReader {
public:
    explicit LogLineReader(TimeLog& log) : log_(log) {}
    void Read(std::string_view line);

private:
    ClockTime ReadTime(std::string_view text);

    TimeLog& log_;
    std::vector<std::string_view> fields_;
    std::vector<std::string> split_;     // the fields of a line the general reader splits
    std::deque<std::string> decoded_;  // fields with escapes: a deque, so views stay valid as it grows
    // Records mostly follow one another on the same day: a time text in the writer's form
    // ("3-7-2005 9:05") on the date of the one before reads only its time of day.
    std::string lastDate_;  // "3-7-2005 ", when the last date read was in the writer's form
    ClockTime lastMidnight_;
};

}  // namespace ambrin
