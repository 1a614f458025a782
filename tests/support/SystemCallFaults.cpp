// The wrapped system calls behind InjectedFault. Linked into test programs with
// -Wl,--wrap=open,--wrap=write,--wrap=fsync,--wrap=rename,--wrap=pread,--wrap=read.
#include "support/SystemCallFaults.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" {
int __real_open(const char* path, int flags, ...);
ssize_t __real_write(int fd, const void* data, size_t size);
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);
ssize_t __real_pread(int fd, void* data, size_t size, off_t offset);
ssize_t __real_read(int fd, void* data, size_t size);
}

namespace {

std::atomic<int> g_call{-1};
std::atomic<int> g_error{0};
std::atomic<long long> g_failAfter{0};

bool Fails(ambrin::test::SystemCall call)
{
    if (g_call.load() != static_cast<int>(call)) return false;
    errno = g_error.load();
    return true;
}

}  // namespace

namespace ambrin::test {

InjectedFault::InjectedFault(SystemCall call, int error, long long failAfter)
{
    g_error = error;
    g_failAfter = failAfter;
    g_call = static_cast<int>(call);
}

InjectedFault::~InjectedFault()
{
    g_call = -1;
}

}  // namespace ambrin::test

using ambrin::test::SystemCall;

extern "C" int __wrap_open(const char* path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    // Only files being made fail: reading goes on as before.
    if ((flags & O_CREAT) && Fails(SystemCall::Open)) return -1;
    return __real_open(path, flags, mode);
}

extern "C" ssize_t __wrap_write(int fd, const void* data, size_t size)
{
    return Fails(SystemCall::Write) ? -1 : __real_write(fd, data, size);
}

extern "C" int __wrap_fsync(int fd)
{
    return Fails(SystemCall::Sync) ? -1 : __real_fsync(fd);
}

extern "C" int __wrap_rename(const char* from, const char* to)
{
    return Fails(SystemCall::Rename) ? -1 : __real_rename(from, to);
}

extern "C" ssize_t __wrap_pread(int fd, void* data, size_t size, off_t offset)
{
    if (offset + static_cast<off_t>(size) > g_failAfter.load() && Fails(SystemCall::Read)) return -1;
    return __real_pread(fd, data, size, offset);
}

extern "C" ssize_t __wrap_read(int fd, void* data, size_t size)
{
    const off_t at = lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at + static_cast<off_t>(size) > g_failAfter.load() && Fails(SystemCall::Read)) return -1;
    return __real_read(fd, data, size);
}
