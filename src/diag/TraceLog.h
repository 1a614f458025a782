#pragma once

#include "platform/FileSystem.h"

#include <cstdio>
#include <string>

namespace ambrin {

// The process-wide trace resources: a file name, a trace file that is never opened, and
// the maker's named lock, held from static initialisation until the process exits.
class TraceLog {
public:
    static constexpr const char* kLockName = "VelmoraSoftwareLogMutex";

    TraceLog();
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    const std::string& FileName() const { return fileName_; }
    bool FileOpen() const { return file_ != nullptr; }
    bool LockHeld() const { return lock_.Held(); }

    void CloseFile();
    void CloseLock() { lock_.Release(); }

private:
    std::string fileName_;
    std::FILE* file_ = nullptr;
    platform::NamedLock lock_;
};

// The resources set up before main(); referencing them keeps them in the program.
const TraceLog& TraceResources();

}  // namespace ambrin
