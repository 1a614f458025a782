// The buffering half of FileReadBuffer, the same on every system; each system's file opens,
// reads and closes in its own FileSystem.cpp.
#include "platform/FileSystem.h"

#include <algorithm>

namespace ambrin::platform {

FileReadBuffer::int_type FileReadBuffer::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::streamsize n = ReadSome(buffer_, sizeof buffer_);
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
        const std::streamsize n = ReadSome(s + done, count - done);
        if (n == 0) break;
        done += n;
    }
    return done;
}

}  // namespace ambrin::platform
