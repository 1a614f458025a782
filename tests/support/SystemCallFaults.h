#pragma once

// Faults injected into the file system's calls, for tests only: the test programs are linked
// with the calls below wrapped (-Wl,--wrap), so the product's own code stays as it ships.
namespace ambrin::test {

enum class SystemCall { Open, Write, Sync, Rename, Read };

// While one lives, the given call fails with errno set to error; for Read, only reads that
// reach past the first failAfter bytes of a file fail.
class InjectedFault {
public:
    explicit InjectedFault(SystemCall call, int error = 5 /* EIO */, long long failAfter = 0);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;
};

}  // namespace ambrin::test
