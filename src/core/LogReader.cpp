// The log file reader: each line a record, the layout told by its number of fields.
#include "core/CsvField.h"
#include "core/LogText.h"
#include "core/TimeLog.h"

#include <cstring>
#include <istream>
#include <memory>

namespace ambrin {

namespace {

// Splits a line of the form the writer makes ("a","b",...) into views of its fields, when
// there is nothing to decode; false for any other line (a backslash, a CR, a field without
// quotes, a space or a comma at the end), which NextField reads.
bool SplitWrittenRow(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    if (line.find('\\') != std::string_view::npos || line.find('\r') != std::string_view::npos) return false;
    for (std::size_t pos = 0; pos < line.size() && line[pos] == '"';) {
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string_view::npos) return false;
        fields.push_back(line.substr(pos + 1, close - pos - 1));
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
    if (text.size() < 4 || text.size() > 5 || text[text.size() - 3] != ':') return -1;
    const std::string_view hour = text.substr(0, text.size() - 3);
    const std::string_view minute = text.substr(text.size() - 2);
    if (!IsDigit(hour.front()) || !IsDigit(hour.back()) || !IsDigit(minute[0]) || !IsDigit(minute[1])) return -1;
    const int h = hour.size() == 1 ? hour[0] - '0' : (hour[0] - '0') * 10 + (hour[1] - '0');
    const int m = (minute[0] - '0') * 10 + (minute[1] - '0');
    return h <= 23 && m <= 59 ? h * 3600 + m * 60 : -1;
}

}  // namespace

void LineSplitter::Feed(std::string_view bytes, const OnLine& onLine)
{
    for (std::size_t lf; (lf = bytes.find('\n')) != std::string_view::npos; bytes.remove_prefix(lf + 1)) {
        if (carry_.empty()) {
            onLine(bytes.substr(0, lf));
        } else {
            carry_.append(bytes.substr(0, lf));
            onLine(carry_);
            carry_.clear();
        }
    }
    carry_.append(bytes);
}

void LineSplitter::Finish(const OnLine& onLine)
{
    if (!carry_.empty()) onLine(carry_);
    carry_.clear();
}

bool ForEachLine(std::istream& in, const LineSplitter::OnLine& onLine)
{
    // Read in chunks, so no copy of the whole file is ever held.
    constexpr std::size_t kChunk = 256 * 1024;
    const std::unique_ptr<char[]> chunk(new char[kChunk]);
    LineSplitter lines;
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
    if (!SplitWrittenRow(line, fields_)) {
        const std::size_t count = SplitRow(line, decoded_);
        fields_.assign(decoded_.begin(), decoded_.begin() + static_cast<std::ptrdiff_t>(count));
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
