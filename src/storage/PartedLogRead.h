#pragma once

#include "core/TimeLog.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ambrin {

// Reads a log file in parts that any number of threads take in turn: the program's loader
// starts on it at once, and the window thread takes the parts left once its windows are made.
// A part holds the lines that begin in it, so each is read on its own; their records are
// joined in file order at the end.
class PartedLogRead {
public:
    explicit PartedLogRead(const std::string& path);
    PartedLogRead(const PartedLogRead&) = delete;
    PartedLogRead& operator=(const PartedLogRead&) = delete;

    // Reads parts until none is left to take; returns how many this call read.
    std::size_t TakeParts();
    // Takes what is left, waits for the parts other threads read, and moves every record into
    // log. False when the file could not be opened or read: the log then stays as it was.
    bool Finish(TimeLog& log);

    static constexpr std::uint64_t kPartBytes = 256 * 1024;

private:
    bool ReadPart(std::size_t index, char* chunk, TimeLog& into) const;

    platform::FileReadBuffer file_;
    bool opened_ = false;
    std::vector<TimeLog> parts_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex mutex_;
    std::condition_variable partRead_;
    std::size_t partsRead_ = 0;
};

}  // namespace ambrin
