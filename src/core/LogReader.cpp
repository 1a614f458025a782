// The log file reader: each line a record, the layout told by its number of fields.
#include "core/CsvField.h"
#include "core/LogText.h"
#include "core/TimeLog.h"

#include <cstring>
#include <deque>
#include <istream>
#include <memory>

namespace ambrin {

namespace {

// Splits a line of the form the writer makes ("a","b",...) into views of its fields, those
// with escapes decoded into decoded; false for any other line (a CR, a field without quotes,
// bytes after a closing quote, a space or a comma at the end), which NextField reads.
bool SplitWrittenRow(std::string_view line, std::vector<std::string_view>& fields, std::deque<std::string>& decoded)
{
    fields.clear();
    if (line.find('\r') != std::string_view::npos) return false;
    const bool escapes = line.find('\\') != std::string_view::npos;
    for (std::size_t pos = 0; pos < line.size() && line[pos] == '"';) {
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string_view::npos) return false;
        std::string_view field = line.substr(pos + 1, close - pos - 1);
        if (escapes && field.find('\\') != std::string_view::npos) {
            if (decoded.size() <= fields.size()) decoded.resize(fields.size() + 1);
            decoded[fields.size()] = DecodeField(field);
            field = decoded[fields.size()];
        }
        fields.push_back(field);
        if (close + 1 == line.size()) return true;
        if (line[close + 1] != ',' || close + 2 == line.size()) return false;
        pos = close + 2;
    }
    return false;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The length of "3-7-2005 " at the start of text, when it begins with a date in the writer's
// form (numbers of up to five digits, "-" or "/" between them) and a space; 0 otherwise.
std::size_t WrittenDateLength(std::string_view text)
{
    std::size_t pos = 0;
    for (const char* separators : {"-/", "-/", " "}) {
        const std::size_t digits = pos;
        while (pos < text.size() && IsDigit(text[pos]) && pos - digits < 5) ++pos;
        if (pos == digits || pos == text.size() || std::string_view(separators).find(text[pos]) == std::string_view::npos) return 0;
        ++pos;
    }
    return pos;
}

// Seconds since midnight of "9:05" or "19:05"; -1 for any other text.
int WrittenTimeOfDay(std::string_view text)
{
    const std::size_t n = text.size();
    if ((n != 4 && n != 5) || text[n - 3] != ':' || !IsDigit(text[0]) || !IsDigit(text[n - 4]) ||
        !IsDigit(text[n - 2]) || !IsDigit(text[n - 1])) {
        return -1;
    }
    const int hour = n == 4 ? text[0] - '0' : (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[n - 2] - '0') * 10 + (text[n - 1] - '0');
    return hour <= 23 && minute <= 59 ? hour * 3600 + minute * 60 : -1;
}

}  // namespace

bool ForEachLine(std::istream& in, const LineSplitter::OnLine& onLine)
{
    // Read in chunks, so no copy of the whole file is ever held.
    constexpr std::size_t kChunk = 256 * 1024;
    const std::unique_ptr<char[]> chunk(new char[kChunk]);
    LineSplitter lines(true);
    do {
        in.read(chunk.get(), static_cast<std::streamsize>(kChunk));
        lines.Feed(std::string_view(chunk.get(), static_cast<std::size_t>(in.gcount())), onLine);
    } while (in);
    if (in.bad() || !in.eof()) return false;
    lines.Finish(onLine);
    return true;
}

void LogLineReader::Read(std::string_view line)
{
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!SplitWrittenRow(line, fields_, decoded_)) {
        const std::size_t count = SplitRow(line, split_);
        fields_.assign(split_.begin(), split_.begin() + static_cast<std::ptrdiff_t>(count));
    }
    if (fields_.empty()) return;
    const ClockTime start = ReadTime(fields_[0]);
    const ClockTime end = fields_.size() > 1 ? ReadTime(fields_[1]) : ClockTime();
    // Five fields or more: the third is the item total, which reading ignores.
    const std::size_t project = fields_.size() >= 5 ? 3 : 2;
    log_.Append(fields_.size() > project ? fields_[project] : std::string_view(),
                fields_.size() > project + 1 ? fields_[project + 1] : std::string_view(), start, end);
}

ClockTime LogLineReader::ReadTime(std::string_view text)
{
    // "9:05" after the date of the text before: the time of day alone.
    if (!lastDate_.empty() && text.size() > lastDate_.size() && text.substr(0, lastDate_.size()) == lastDate_) {
        const int timeOfDay = WrittenTimeOfDay(text.substr(lastDate_.size()));
        if (timeOfDay >= 0) return ClockTime(lastMidnight_.Ticks() + static_cast<std::uint64_t>(timeOfDay) * kTicksPerSecond);
    }
    ClockTime value;
    value.Parse(text);
    // A new date in the writer's form: its midnight is kept for the texts after it (a date
    // that names no day, or midnight of 1 January 1601, the empty value, is not).
    const std::size_t dateLength = WrittenDateLength(text);
    if (dateLength > 0 && WrittenTimeOfDay(text.substr(dateLength)) >= 0 && !value.IsEmpty()) {
        lastDate_.assign(text.substr(0, dateLength));
        lastMidnight_ = ClockTime(value.Ticks() - value.Ticks() % kTicksPerDay);
        if (lastMidnight_.IsEmpty()) lastDate_.clear();
    }
    return value;
}

bool TimeLog::ReadCsv(std::istream& in)
{
    TimeLog read;  // built apart: a failed read leaves the log as it was
    LogLineReader records(read);
    if (!ForEachLine(in, [&records](std::string_view line) { records.Read(line); })) return false;
    *this = std::move(read);
    return true;
}

}  // namespace ambrin
