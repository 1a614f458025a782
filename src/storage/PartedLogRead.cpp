#include "storage/PartedLogRead.h"

#include "core/LogText.h"

#include <algorithm>

namespace ambrin {

namespace {

constexpr std::size_t kChunkBytes = PartedLogRead::kPartBytes;

}  // namespace

PartedLogRead::PartedLogRead(const std::string& path)
{
    opened_ = file_.Open(path);
    const std::uint64_t size = opened_ ? file_.Size() : 0;
    parts_.resize(std::max<std::size_t>(1, static_cast<std::size_t>((size + kPartBytes - 1) / kPartBytes)));
}

std::size_t PartedLogRead::TakeParts()
{
    std::size_t taken = 0;
    std::unique_ptr<char[]> chunk;  // one for every part this thread reads
    for (std::size_t i; (i = next_.fetch_add(1)) < parts_.size(); ++taken) {
        if (!chunk) chunk.reset(new char[kChunkBytes]);
        TimeLog part;
        if (!opened_ || !ReadPart(i, chunk.get(), part)) failed_ = true;
        parts_[i] = std::move(part);
        const std::lock_guard lock(mutex_);
        ++partsRead_;
        partRead_.notify_all();
    }
    return taken;
}

bool PartedLogRead::Finish(TimeLog& log)
{
    TakeParts();
    {
        std::unique_lock lock(mutex_);
        partRead_.wait(lock, [this] { return partsRead_ == parts_.size(); });
    }
    if (failed_) return false;
    TimeLog whole;
    std::size_t count = 0;
    for (const TimeLog& part : parts_) count += part.Count();
    whole.Reserve(count);
    for (TimeLog& part : parts_) whole.AppendLog(std::move(part));
    log = std::move(whole);
    return true;
}

// The lines of part index: from the first line start at or after its beginning (the part
// before reads the line under way there) through the line under way at its end.
bool PartedLogRead::ReadPart(std::size_t index, char* chunk, TimeLog& into) const
{
    const std::uint64_t begin = index * kPartBytes;
    const std::uint64_t end = std::min(file_.Size(), begin + kPartBytes);
    LogLineReader records(into);
    LineSplitter lines(index == 0);
    const auto onLine = [&records](std::string_view line) { records.Read(line); };
    bool started = index == 0;
    std::uint64_t pos = started ? 0 : begin - 1;
    for (;;) {
        const std::int64_t got = file_.ReadAt(pos, chunk, kChunkBytes);
        if (got < 0) return false;
        if (got == 0) break;  // the end of the file
        const std::string_view bytes(chunk, static_cast<std::size_t>(got));
        const std::uint64_t at = pos;  // the file offset of bytes[0]
        pos += static_cast<std::uint64_t>(got);
        std::size_t from = 0;
        if (!started) {
            const std::size_t lf = bytes.find('\n');
            if (lf == std::string_view::npos) {
                if (pos >= end) return true;  // no line begins in this part
                continue;
            }
            from = lf + 1;
            started = true;
            if (at + from >= end) return true;
        }
        // The part's last line ends at the first LF at or after end - 1.
        const std::size_t last = end - 1 > at ? static_cast<std::size_t>(end - 1 - at) : 0;
        const std::size_t lf = last < bytes.size() ? bytes.find('\n', std::max(from, last)) : std::string_view::npos;
        if (lf != std::string_view::npos) {
            lines.Feed(bytes.substr(from, lf + 1 - from), onLine);
            return true;
        }
        lines.Feed(bytes.substr(from), onLine);
    }
    lines.Finish(onLine);
    return true;
}

}  // namespace ambrin
