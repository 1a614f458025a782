#include "storage/CsvLog.h"

#include "platform/FileSystem.h"
#include "platform/Memory.h"
#include "platform/VectorState.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <future>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>
#include <thread>

namespace ambrin {

namespace {

constexpr std::string_view kIdleProject = "<idle>";

// Byte classes for the scanning loops: a table lookup per byte instead of a chain of tests.
struct ByteTable {
    bool stop[256] = {};
    constexpr explicit ByteTable(std::string_view bytes)
    {
        for (char c : bytes) stop[static_cast<unsigned char>(c)] = true;
    }
    bool operator()(char c) const { return stop[static_cast<unsigned char>(c)]; }
};

constexpr ByteTable kEncodeStops("\n\r\"\\");
constexpr ByteTable kInsideQuotesStops("\"\\");
constexpr ByteTable kAfterQuotesStops("\"\\,");
constexpr ByteTable kUnquotedStops("\\,");

char EscapedByte(char c)
{
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    default: return c;
    }
}

// Calls onLine(line, backslash) for each line of data with its CRs dropped and trailing
// spaces cut; backslash is false when the line holds none. Backslashes are rare: one search
// runs ahead to the next, so the lines before it need no search of their own.
template <typename OnLine>
void ForEachLine(std::string_view data, OnLine&& onLine)
{
    std::string cleaned;
    const char* backslash =
        data.empty() ? nullptr : static_cast<const char*>(std::memchr(data.data(), '\\', data.size()));
    std::size_t begin = 0;
    while (begin < data.size()) {
        const void* lf = std::memchr(data.data() + begin, '\n', data.size() - begin);
        const std::size_t end =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data.data())
               : data.size();
        const bool hasBackslash = backslash != nullptr && backslash < data.data() + end;
        if (hasBackslash) {
            backslash = static_cast<const char*>(std::memchr(data.data() + end, '\\', data.size() - end));
        }
        std::string_view line = data.substr(begin, end - begin);
        begin = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\r') != std::string_view::npos) {
            cleaned.assign(line);
            cleaned.erase(std::remove(cleaned.begin(), cleaned.end(), '\r'), cleaned.end());
            line = cleaned;
        }
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        if (!line.empty()) onLine(line, hasBackslash);
    }
}

// NextField for the field at the cursor, which needs decoding or is not of the common
// form. A quoted field that runs to its closing quote and a comma (or the line's end) is
// decoded from the backslashes on, the rest of it copied in runs; anything else goes to
// NextField. Kept out of line: few fields need it.
[[gnu::noinline]] bool NextDecodedField(FieldCursor& cursor, std::string& field)
{
    const char* const p = cursor.line.data();
    const std::size_t n = cursor.line.size();
    std::size_t pos = cursor.pos;
    while (pos < n && (p[pos] == ' ' || p[pos] == '\r' || p[pos] == '\n')) ++pos;
    const void* found = pos < n && p[pos] == '"' ? std::memchr(p + pos + 1, '"', n - pos - 1) : nullptr;
    const std::size_t stop = found ? static_cast<std::size_t>(static_cast<const char*>(found) - p) : n;
    if (found == nullptr || (stop + 1 < n && p[stop + 1] != ',')) return NextField(cursor, field);
    // A backslash escapes the byte after it (a backslash escapes a backslash); one right
    // before the closing quote stays.
    field.clear();
    const char* from = p + pos + 1;
    const char* const end = p + stop;
    for (const char* backslash; (backslash = static_cast<const char*>(
                                     std::memchr(from, '\\', static_cast<std::size_t>(end - from)))) != nullptr;) {
        field.append(from, backslash);
        if (backslash + 1 == end) {
            field.push_back('\\');
            from = end;
            break;
        }
        field.push_back(EscapedByte(backslash[1]));
        from = backslash + 2;
    }
    field.append(from, end);
    cursor.afterComma = stop + 1 < n;
    cursor.pos = cursor.afterComma ? stop + 2 : n;
    return true;
}

// NextField for the common field with nothing to decode ("text" or text, then a comma or
// the end of the line): a view into the line, no copy. Anything else goes to NextDecodedField.
// noBackslash: the caller knows the line holds none. scratch() gives the text a decoded
// field is kept in.
template <typename Scratch>
bool NextFieldView(FieldCursor& cursor, bool noBackslash, Scratch&& scratch, std::string_view& view)
{
    const char* const p = cursor.line.data();
    const std::size_t n = cursor.line.size();
    std::size_t pos = cursor.pos;
    while (pos < n && (p[pos] == ' ' || p[pos] == '\r' || p[pos] == '\n')) ++pos;
    if (pos >= n && !cursor.afterComma) {  // the end of the row, as NextField finds it
        cursor.pos = n;
        return false;
    }
    if (pos < n) {
        // A quoted field runs to its closing quote, an unquoted one to the next comma; with
        // no backslash in between, there is nothing to decode.
        const bool quoted = p[pos] == '"';
        const std::size_t begin = pos + (quoted ? 1 : 0);
        const void* found = std::memchr(p + begin, quoted ? '"' : ',', n - begin);
        const std::size_t stop = found ? static_cast<std::size_t>(static_cast<const char*>(found) - p) : n;
        const std::size_t after = quoted ? stop + 1 : stop;
        if ((found || !quoted) && (after >= n || p[after] == ',') &&
            (noBackslash || !std::memchr(p + begin, '\\', stop - begin))) {
            view = std::string_view(p + begin, stop - begin);
            cursor.afterComma = after < n;
            cursor.pos = cursor.afterComma ? after + 1 : n;
            return true;
        }
    }
    std::string& decoded = scratch();
    if (!NextDecodedField(cursor, decoded)) return false;
    view = decoded;
    return true;
}

// Splits lines into fields; rows without fields are skipped. The views passed to onRow live
// until the next row.
class RowSplitter {
public:
    template <typename OnRow>
    void Feed(std::string_view lines, OnRow&& onRow)
    {
        ForEachLine(lines, [&](std::string_view line, bool backslash) {
            FieldCursor cursor{line};
            const bool noBackslash = !backslash;
            std::size_t count = 0;
            for (;;) {
                if (count == fields_.size()) {
                    scratch_.emplace_back();
                    fields_.emplace_back();
                }
                const auto scratch = [this, count]() -> std::string& { return scratch_[count]; };
                if (!NextFieldView(cursor, noBackslash, scratch, fields_[count])) break;
                ++count;
            }
            if (count > 0) onRow(fields_, count);
        });
    }

private:
    std::deque<std::string> scratch_;  // a deque: views into earlier fields stay valid
    std::vector<std::string_view> fields_;
};

// The stream is read in chunks of this size, into memory the reader keeps: a reader of
// several parts of a file takes a new chunk for none but the first (each would be mapped
// fresh and its pages faulted in).
constexpr std::size_t kChunk = 256 * 1024;
using Chunk = std::unique_ptr<char[]>;
Chunk MakeChunk()
{
    return Chunk(new char[kChunk]);  // not zero-filled: read over at once
}

// Reads the stream in chunks and hands out its rows as whole lines arrive, so no copy of the
// whole file is ever held; onChunk hears of each chunk's size before its rows. False on a
// read error.
template <typename OnRow, typename OnChunk = void (*)(std::size_t)>
bool ForEachStreamRow(std::istream& in, const Chunk& chunk, OnRow&& onRow, OnChunk onChunk = +[](std::size_t) {})
{
    std::string carry;  // the start of a line that the chunk cut
    RowSplitter rows;
    for (;;) {
        in.read(chunk.get(), static_cast<std::streamsize>(kChunk));
        const std::string_view data(chunk.get(), static_cast<std::size_t>(in.gcount()));
        onChunk(data.size());
        const std::size_t lastLf = data.rfind('\n');
        if (lastLf == std::string_view::npos) {
            carry.append(data);
        } else {
            std::string_view complete = data.substr(0, lastLf + 1);
            if (!carry.empty()) {
                const std::size_t firstLf = complete.find('\n');
                carry.append(complete.substr(0, firstLf + 1));
                rows.Feed(carry, onRow);
                complete.remove_prefix(firstLf + 1);
            }
            rows.Feed(complete, onRow);
            carry.assign(data.substr(lastLf + 1));
        }
        if (!in) break;
    }
    if (in.bad() || !in.eof()) return false;
    rows.Feed(carry, onRow);
    return true;
}

// The log writer's output goes straight through a pointer into a buffer sized for the
// worst case, so the hot loop makes no capacity checks and no calls.
char* PutTwoDigits(char* w, std::uint64_t value)
{
    *w++ = static_cast<char>('0' + value / 10 % 10);
    *w++ = static_cast<char>('0' + value % 10);
    return w;
}

// True when any of the eight bytes of word is c; exact, with no false alarms.
bool HasByte(std::uint64_t word, unsigned char c)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const std::uint64_t x = word ^ (kOnes * c);
    return ((x - kOnes) & ~x & kHighs) != 0;
}

char* PutEncoded(char* w, std::string_view text)
{
    *w++ = '"';
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        // Eight bytes at a time while none needs escaping: most texts go over whole.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (!HasByte(word, '\n') && !HasByte(word, '\r') && !HasByte(word, '"') && !HasByte(word, '\\')) {
                std::memcpy(w, p, 8);
                w += 8;
                p += 8;
                continue;
            }
        }
        const char c = *p++;
        if (!kEncodeStops(c)) {
            *w++ = c;
            continue;
        }
        switch (c) {
        case '\n': *w++ = '\\'; *w++ = 'n'; break;
        case '\r': *w++ = '\\'; *w++ = 'r'; break;
        case '"': *w++ = '\''; break;
        default: *w++ = '/'; break;  // the backslash
        }
    }
    *w++ = '"';
    return w;
}

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

// Writes quoted Numeric time fields. Consecutive records mostly share a date, so the
// date text is kept from one call to the next.
class TimeFieldWriter {
public:
    char* Put(char* w, ClockTime value)
    {
        *w++ = '"';
        if (!value.IsEmpty()) {
            const std::uint64_t day = value.Ticks() / kTicksPerDay;
            if (day != day_) {
                day_ = day;
                datePrefix_.clear();
                AppendNumeric(datePrefix_, value);  // not the day's start: 1601-01-01 00:00 is empty
                datePrefix_.resize(datePrefix_.find(' ') + 1);
            }
            w = std::copy(datePrefix_.begin(), datePrefix_.end(), w);
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
    std::string datePrefix_;
};

bool WriteAll(std::ostream& out, std::string_view data)
{
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    return !out.fail();
}

}  // namespace

void AppendEncodedField(std::string& out, std::string_view text)
{
    const std::size_t used = out.size();
    out.resize(used + 2 * text.size() + 2);  // every byte at most doubled, and the quotes
    out.resize(static_cast<std::size_t>(PutEncoded(out.data() + used, text) - out.data()));
}

std::string EncodeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    AppendEncodedField(out, text);
    return out;
}

std::string DecodeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            out.push_back(EscapedByte(text[++i]));
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool NextField(FieldCursor& cursor, std::string& field)
{
    const char* const p = cursor.line.data();
    const std::size_t n = cursor.line.size();
    std::size_t pos = cursor.pos;
    while (pos < n && (p[pos] == ' ' || p[pos] == '\r' || p[pos] == '\n')) ++pos;
    if (pos >= n) {
        cursor.pos = n;
        // A comma at the end of a line ends the row with an empty last field.
        if (!cursor.afterComma) return false;
        cursor.afterComma = false;
        field.clear();
        return true;
    }

    field.clear();
    cursor.afterComma = false;
    const bool quoted = p[pos] == '"';
    bool insideQuotes = quoted;
    if (quoted) ++pos;
    bool pendingBackslash = false;
    while (pos < n) {
        // Copy the run of ordinary bytes in one go; stop at a byte that needs a decision.
        const ByteTable& stops =
            insideQuotes ? kInsideQuotesStops : (quoted ? kAfterQuotesStops : kUnquotedStops);
        std::size_t stop = pos;
        while (stop < n && !stops(p[stop])) ++stop;
        if (stop > pos) {
            if (pendingBackslash) {
                field.push_back(EscapedByte(p[pos++]));
                pendingBackslash = false;
            }
            field.append(p + pos, stop - pos);
            pos = stop;
            continue;
        }
        const char c = p[pos++];
        if (c == ',' && !insideQuotes) {
            cursor.afterComma = true;
            break;
        }
        if (c == '"') {
            insideQuotes = false;  // every quote of a quoted field is dropped
        } else if (pendingBackslash) {
            field.push_back('\\');  // a backslash escapes a backslash
            pendingBackslash = false;
        } else {
            pendingBackslash = true;
        }
    }
    if (pendingBackslash) field.push_back('\\');
    cursor.pos = pos;
    return true;
}

bool ReadWholeStream(std::istream& in, std::string& data)
{
    // A seekable stream (a file) is read in one call into a buffer of its size.
    std::size_t firstChunk = 64 * 1024;
    const std::istream::pos_type start = in.tellg();
    if (start != std::istream::pos_type(-1)) {
        in.seekg(0, std::ios::end);
        const std::istream::pos_type end = in.tellg();
        in.seekg(start);
        if (!in) return false;
        if (end != std::istream::pos_type(-1) && end >= start) {
            firstChunk = static_cast<std::size_t>(end - start) + 1;
        }
    }
    std::string buffer;
    std::size_t used = 0;
    buffer.resize(firstChunk);
    for (;;) {
        in.read(buffer.data() + used, static_cast<std::streamsize>(buffer.size() - used));
        used += static_cast<std::size_t>(in.gcount());
        if (!in) break;
        buffer.resize(buffer.size() * 2);
    }
    if (in.bad() || !in.eof()) return false;
    buffer.resize(used);
    data = std::move(buffer);
    return true;
}

bool CsvTable::Write(std::ostream& out) const
{
    std::string data;
    for (const CsvRow& row : rows_) {
        for (std::size_t i = 0; i < row.Count(); ++i) {
            if (i > 0) data.push_back(',');
            AppendEncodedField(data, row.Field(i));
        }
        data += "\r\n";
    }
    return WriteAll(out, data);
}

bool CsvTable::Read(std::istream& in)
{
    std::vector<CsvRow> rows;
    const bool ok = ForEachStreamRow(in, MakeChunk(), [&](const std::vector<std::string_view>& fields, std::size_t count) {
        CsvRow row;
        for (std::size_t i = 0; i < count; ++i) row.AddField(fields[i]);
        rows.push_back(std::move(row));
    });
    if (ok) rows_ = std::move(rows);
    return ok;
}

void ByteBuffer::Grow(std::size_t capacity, std::size_t used)
{
    std::unique_ptr<char[]> larger(new char[capacity]);
    std::copy(data_.get(), data_.get() + used, larger.get());
    data_ = std::move(larger);
    capacity_ = capacity;
}

namespace {

constexpr std::size_t kFixedPerRecord = 2 * 24 + 28 + 4 + 8 + 2;

// Encodes the log's records into buffer from its start and returns how many bytes it holds
// at the end. Before a record that might not fit in the room left, makeRoom(used, worst) is
// called: it makes room for worst more bytes, updates used to what the buffer still holds,
// and returns false to stop.
template <typename MakeRoom>
std::size_t EncodeRecords(const TimeLog& log, bool includeTotals, ByteBuffer& buffer, MakeRoom&& makeRoom)
{
    char* w = buffer.Data();
    TimeFieldWriter times;
    for (std::uint32_t i = 0; i < log.Count(); ++i) {
        const TimeRecord& record = log.At(i);
        if (record.project.empty() || record.project == kIdleProject) continue;
        std::size_t used = static_cast<std::size_t>(w - buffer.Data());
        const std::size_t worst = 2 * (record.project.size() + record.notes.size()) + kFixedPerRecord;
        if (buffer.Capacity() - used < worst) {
            if (!makeRoom(used, worst)) return used;
            w = buffer.Data() + used;
        }
        w = times.Put(w, record.start);
        *w++ = ',';
        w = times.Put(w, record.end);
        *w++ = ',';
        if (includeTotals) {
            w = PutItemTotal(w, record);
            *w++ = ',';
        }
        w = PutEncoded(w, record.project);
        *w++ = ',';
        w = PutEncoded(w, record.notes);
        *w++ = '\r';
        *w++ = '\n';
    }
    return static_cast<std::size_t>(w - buffer.Data());
}

}  // namespace

ByteBuffer EncodeLog(const TimeLog& log, bool includeTotals)
{
    ByteBuffer buffer;
    EncodeLog(log, includeTotals, buffer);
    return buffer;
}

void EncodeLog(const TimeLog& log, bool includeTotals, ByteBuffer& buffer)
{
    // Sized for records with texts of a usual length, without a pass over the records to
    // measure them; a record that might not fit grows the buffer first. Room that is never
    // written costs address space only.
    constexpr std::size_t kUsualTextPerRecord = 96;
    const std::size_t estimate = 1 + std::size_t{log.Count()} * (kFixedPerRecord + kUsualTextPerRecord);
    // A kept buffer takes the next saves of a log that grows a record at a time, with room
    // to spare for an eighth more.
    if (buffer.Capacity() < estimate || buffer.Capacity() / 4 > estimate) buffer = ByteBuffer(estimate + estimate / 8);
    buffer.SetSize(EncodeRecords(log, includeTotals, buffer, [&](std::size_t& used, std::size_t worst) {
        buffer.Grow(std::max(buffer.Capacity() + buffer.Capacity() / 2, used + worst), used);
        return true;
    }));
}

bool TimeLog::WriteCsv(std::ostream& out, bool includeTotals) const
{
    // The stream takes the bytes a piece at a time: one buffer of a piece's size, in memory
    // and in the cache the whole time, whatever the log's length.
    constexpr std::size_t kPiece = 256 * 1024;
    ByteBuffer buffer(kPiece);
    const auto put = [&](std::size_t bytes) {
        out.write(buffer.Data(), static_cast<std::streamsize>(bytes));
        return !out.fail();
    };
    const std::size_t rest = EncodeRecords(*this, includeTotals, buffer, [&](std::size_t& used, std::size_t worst) {
        if (!put(used)) return false;
        used = 0;
        if (worst > buffer.Capacity()) buffer = ByteBuffer(worst);
        return true;
    });
    if (!put(rest)) return false;  // a stream that failed takes nothing more
    out.flush();
    return !out.fail();
}

namespace {

// What a log's records take on the heap, in bytes for every 2 bytes of the file: about 4.3
// for the usual record (its own block, its project's text, notes on some), more for short
// records, less for long notes.
constexpr std::size_t kHeapPerTwoLogBytes = 5;

// The rows of the stream as records, appended to log; false on a read error. With heap, the
// memory the records of each chunk will take is made ready before they are built.
bool ReadRecords(std::istream& in, const Chunk& chunk, TimeLog& log, const platform::BulkAllocation* heap = nullptr)
{
    const auto prepare = [heap](std::size_t bytes) {
        if (heap) heap->PrepareHeap(bytes * kHeapPerTwoLogBytes / 2);
    };
    ClockTextReader times;
    return ForEachStreamRow(in, chunk, [&](const std::vector<std::string_view>& fields, std::size_t count) {
        const ClockTime start = times.Parse(fields[0]);
        const ClockTime end = count > 1 ? times.Parse(fields[1]) : ClockTime();
        const std::size_t projectField = count >= 5 ? 3 : 2;
        log.Append(count > projectField ? fields[projectField] : std::string_view(),
                   count > projectField + 1 ? fields[projectField + 1] : std::string_view(), start, end);
    }, prepare);
}

// The start of the first line that begins at or after offset, within a search of 1 MiB; 0
// when there is none. Rows never span lines, so the lines from there on can be read on their
// own. The search reads a little at a time: a line is usually found in the first few bytes.
std::uint64_t SeekLineStart(platform::FileReadBuffer& file, std::uint64_t offset)
{
    constexpr std::uint64_t kSearchLimit = 1024 * 1024;
    constexpr std::size_t kStep = 512;
    if (offset == 0 || !file.Seek(offset - 1)) return 0;
    char window[kStep];
    for (std::uint64_t scanned = 0; scanned < kSearchLimit;) {
        const std::streamsize wanted = static_cast<std::streamsize>(std::min<std::uint64_t>(kStep, kSearchLimit - scanned));
        const std::streamsize got = file.sgetn(window, wanted);
        if (got <= 0) return 0;
        if (const void* lf = std::memchr(window, '\n', static_cast<std::size_t>(got))) {
            const std::uint64_t lineStart = offset + scanned + static_cast<std::uint64_t>(static_cast<const char*>(lf) - window);
            return lineStart < file.Size() ? lineStart : 0;
        }
        scanned += static_cast<std::uint64_t>(got);
    }
    return 0;
}

// Where the parts of the file begin after the first: for each of the even marks, the first
// line start after it (marks with none in reach are left out).
std::vector<std::uint64_t> PartStarts(platform::FileReadBuffer& file)
{
    const std::uint64_t size = file.Size();
    std::vector<std::uint64_t> starts;
    if (size < kSplitReadBytes) return starts;
    const std::uint64_t parts = std::clamp<std::uint64_t>(size / kPartBytes, 2, kMaxParts);
    for (std::uint64_t k = 1; k < parts; ++k) {
        const std::uint64_t start = SeekLineStart(file, size / parts * k);
        if (start != 0 && (starts.empty() || start > starts.back())) starts.push_back(start);
    }
    return starts;
}

}  // namespace

// A file being read in parts: where they begin, which is next, what each holds. Every thread
// that reads it takes the next unread part until none is left.
struct PartRead {
    const std::string& path;
    std::vector<std::uint64_t> starts;
    std::vector<TimeLog> parts;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    const platform::BulkAllocation* heap = nullptr;
};

namespace {

// Reads parts of the open file until none is left, counting them in taken; parts[i] gets the
// records of the bytes from starts[i] to the next start. False on a read error. Each part is
// built apart and moved into place once: logs side by side would share a cache line.
bool ReadParts(platform::FileReadBuffer& file, PartRead& read, std::size_t& taken)
{
    platform::ClearUpperVectorState();
    const std::uint64_t size = file.Size();
    if (read.heap) read.heap->PrepareHeap(kChunk);
    const Chunk chunk = MakeChunk();
    for (std::size_t i; (i = read.next.fetch_add(1, std::memory_order_relaxed)) < read.starts.size();) {
        const std::uint64_t end = i + 1 < read.starts.size() ? read.starts[i + 1] : size;
        if (!file.Seek(read.starts[i])) return false;
        file.Limit(end - read.starts[i]);
        std::istream in(&file);
        TimeLog part;
        if (!ReadRecords(in, chunk, part, read.heap)) return false;
        read.parts[i] = std::move(part);
        ++taken;
    }
    return true;
}

// The same on a file position of its own; a thread that cannot open the file takes no part.
// How many parts it read.
std::size_t ReadPartsApart(PartRead& read)
{
    std::size_t taken = 0;
    platform::FileReadBuffer own;
    if (own.Open(read.path) && !ReadParts(own, read, taken)) read.failed = true;
    return taken;
}

}  // namespace

LogReadHelp::LogReadHelp() = default;

LogReadHelp::~LogReadHelp()
{
    Close();
}

std::size_t LogReadHelp::Join()
{
    PartRead* read = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (open_ == nullptr) return 0;
        read = open_;
        ++joined_;
    }
    struct Leave {
        LogReadHelp& help;
        ~Leave()
        {
            const std::lock_guard lock(help.mutex_);
            if (--help.joined_ == 0) help.left_.notify_all();
        }
    } leave{*this};
    return ReadPartsApart(*read);
}

void LogReadHelp::Open(PartRead& read)
{
    const std::lock_guard lock(mutex_);
    open_ = &read;
}

void LogReadHelp::Close()
{
    std::unique_lock lock(mutex_);
    open_ = nullptr;
    left_.wait(lock, [this] { return joined_ == 0; });
}

bool TimeLog::ReadCsv(std::istream& in)
{
    TimeLog read;  // built apart: a failed read leaves the log as it was
    if (!ReadRecords(in, MakeChunk(), read)) return false;
    *this = std::move(read);
    return true;
}

std::vector<std::uint64_t> SplitOffsets(const std::string& path)
{
    platform::FileReadBuffer file;
    return file.Open(path) ? PartStarts(file) : std::vector<std::uint64_t>{};
}

bool ReadCsvFile(TimeLog& log, const std::string& path, LogReadHelp* help)
{
    platform::FileReadBuffer file;
    if (!file.Open(path)) return false;
    PartRead read{path, PartStarts(file), {}};
    read.starts.insert(read.starts.begin(), 0);
    read.parts.resize(read.starts.size());
    // Readers take the parts in turn, so that one slowed down by the window thread reads fewer
    // parts instead of leaving a processor idle at the end: this thread and helpers, one for
    // every processor but one (left to the window thread), at least two and at most four.
    // With help, the window thread itself joins once its own work is done, and until then
    // this thread leaves it a processor. Meanwhile the heap grows in large steps, and is made
    // ready ahead of the records.
    std::optional<platform::BulkAllocation> bulk;
    std::vector<std::future<void>> helpers;
    if (read.starts.size() > 1) {
        read.heap = &bulk.emplace();
        const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t wanted = help ? std::clamp<std::size_t>(processors, 2, 5) - 2
                                        : std::clamp<std::size_t>(processors > 2 ? processors - 2 : 1, 1, 3);
        try {
            while (helpers.size() < std::min(wanted, read.starts.size() - 1)) {
                helpers.push_back(std::async(std::launch::async, [&read] { ReadPartsApart(read); }));
            }
        } catch (const std::system_error&) {
            // No more threads to be had: those there are read the rest.
        }
    }
    {
        // Open to joining threads while this one reads; all that joined are done with read
        // before its parts are put together, or before it goes.
        const struct Sharing {
            LogReadHelp* joinable;
            Sharing(LogReadHelp* to, PartRead& shared) : joinable(to)
            {
                if (joinable) joinable->Open(shared);
            }
            ~Sharing()
            {
                if (joinable) joinable->Close();
            }
        } sharing(read.starts.size() > 1 ? help : nullptr, read);
        std::size_t taken = 0;
        if (!ReadParts(file, read, taken)) read.failed = true;
    }
    for (std::future<void>& helper : helpers) helper.get();
    if (read.failed) return false;
    TimeLog whole;
    for (TimeLog& part : read.parts) whole.AppendLog(std::move(part));
    log = std::move(whole);
    return true;
}

}  // namespace ambrin
