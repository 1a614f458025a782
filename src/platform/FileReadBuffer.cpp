// The buffering half of FileReadBuffer, the same on every system; each system's file opens,
// seeks, reads and closes in its own FileSystem.cpp.
#include "platform/FileSystem.h"

#include <algorithm>

namespace ambrin::platform {

FileReadBuffer::int_type FileReadBuffer::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::streamsize n = ReadLimited(buffer_, sizeof buffer_);
    if (n == 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + n);
    return traits_type::to_int_type(*gptr());
}

std::streamsize FileReadBuffer::xsgetn(char* s, std::streamsize count)
{
    // What is buffered first, then straight into the caller's memory: no copy in between.
    std::streamsize done = (std::min)(count, static_cast<std::streamsize>(egptr() - gptr()));
    std::copy(gptr(), gptr() + done, s);
    gbump(static_cast<int>(done));
    while (done < count) {
        const std::streamsize n = ReadLimited(s + done, count - done);
        if (n == 0) break;
        done += n;
    }
    return done;
}

std::streamsize FileReadBuffer::ReadLimited(char* s, std::streamsize count)
{
    if (remaining_ < static_cast<std::uint64_t>(count)) count = static_cast<std::streamsize>(remaining_);
    if (count == 0) return 0;
    const std::streamsize n = ReadSome(s, count);
    remaining_ -= static_cast<std::uint64_t>(n);
    return n;
}

bool FileReadBuffer::Seek(std::uint64_t offset)
{
    setg(buffer_, buffer_, buffer_);  // what was buffered belongs to the old position
    return SeekHandle(offset);
}

}  // namespace ambrin::platform
