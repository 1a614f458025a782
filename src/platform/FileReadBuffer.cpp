// The buffering half of FileReadBuffer, the same on every system; each system's file opens,
// reads and closes in its own FileSystem.cpp.
#include "platform/FileSystem.h"

namespace ambrin::platform {

FileReadBuffer::int_type FileReadBuffer::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::streamsize n = ReadSome(buffer_, sizeof buffer_);
    if (n == 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + n);
    return traits_type::to_int_type(*gptr());
}

}  // namespace ambrin::platform
