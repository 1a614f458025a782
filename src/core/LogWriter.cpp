// The log file writer: one line per written record, every field quoted, CR LF after each.
#include "core/CsvField.h"
#include "core/LogText.h"
#include "core/ProjectName.h"
#include "core/TimeLog.h"

#include <cstring>
#include <ostream>

namespace ambrin {

namespace {

// The most bytes a record's line takes: its texts may double, each time is at most
// "12-31-30827 23:59", the item total at most "-5124095576030431:59", and quotes, commas, CR LF.
std::size_t MostLineBytes(const TimeRecord& record)
{
    return 2 * (record.project.size() + record.notes.size()) + 2 * 19 + 24 + 10 + 2;
}

char* PutTwoDigits(char* w, std::uint64_t value)
{
    *w++ = static_cast<char>('0' + value / 10 % 10);
    *w++ = static_cast<char>('0' + value % 10);
    return w;
}

// Hours and minutes from start to end, whole minutes truncated toward zero; "0" when either
// is empty. A negative duration keeps its sign: "-0:30".
char* PutItemTotal(char* w, const TimeRecord& record)
{
    *w++ = '"';
    if (record.start.IsEmpty() || record.end.IsEmpty()) {
        *w++ = '0';
    } else {
        std::int64_t minutes = static_cast<std::int64_t>(record.end.Ticks() - record.start.Ticks()) /
                               static_cast<std::int64_t>(kTicksPerMinute);
        if (minutes < 0) {
            *w++ = '-';
            minutes = -minutes;
        }
        w = PutDecimal(w, static_cast<std::uint64_t>(minutes / 60));
        *w++ = ':';
        w = PutTwoDigits(w, static_cast<std::uint64_t>(minutes % 60));
    }
    *w++ = '"';
    return w;
}

// Writes quoted time fields. Records mostly follow one another on the same day: the text
// of the day ("3-7-2005 ") is kept from one to the next.
class TimeFieldWriter {
public:
    char* Put(char* w, ClockTime value)
    {
        *w++ = '"';
        if (!value.IsEmpty()) {
            const std::uint64_t day = value.Ticks() / kTicksPerDay;
            if (day != day_) {
                day_ = day;
                date_.clear();
                AppendNumeric(date_, value);  // with a time: the day's start, 1601-01-01, is empty
                date_.resize(date_.find(' ') + 1);
            }
            std::memcpy(w, date_.data(), date_.size());
            w += date_.size();
            const std::uint64_t minutes = value.Ticks() % kTicksPerDay / kTicksPerMinute;
            w = PutDecimal(w, minutes / 60);
            *w++ = ':';
            w = PutTwoDigits(w, minutes % 60);
        }
        *w++ = '"';
        return w;
    }

private:
    std::uint64_t day_ = ~std::uint64_t{0};
    std::string date_;
};

void AppendRecordLine(std::string& out, TimeFieldWriter& times, const TimeRecord& record, bool includeTotals)
{
    const std::size_t used = out.size();
    out.resize(used + MostLineBytes(record));
    char* w = out.data() + used;
    w = times.Put(w, record.start);
    *w++ = ',';
    w = times.Put(w, record.end);
    *w++ = ',';
    if (includeTotals) {
        w = PutItemTotal(w, record);
        *w++ = ',';
    }
    w = PutEncodedField(w, record.project);
    *w++ = ',';
    w = PutEncodedField(w, record.notes);
    *w++ = '\r';
    *w++ = '\n';
    out.resize(static_cast<std::size_t>(w - out.data()));
}

}  // namespace

bool WriteLogPieces(const TimeLog& log, bool includeTotals, const std::function<bool(std::string_view)>& write)
{
    constexpr std::size_t kPiece = 256 * 1024;
    std::string piece;
    piece.reserve(kPiece + 1024);
    TimeFieldWriter times;
    for (std::uint32_t i = 0; i < log.Count(); ++i) {
        const TimeRecord& record = log.View(i);
        if (!IsWrittenProject(record.project)) continue;
        AppendRecordLine(piece, times, record, includeTotals);
        if (piece.size() >= kPiece) {
            if (!write(piece)) return false;
            piece.clear();
        }
    }
    return piece.empty() || write(piece);
}

bool TimeLog::WriteCsv(std::ostream& out, bool includeTotals) const
{
    const bool written = WriteLogPieces(*this, includeTotals, [&out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return !out.fail();
    });
    out.flush();
    return written && !out.fail();
}

}  // namespace ambrin
