#pragma once

#include "core/ClockTime.h"

#include <string>

namespace ambrin {

class TimeLog;

// The last records of a log file, read back from its end to the first record that ended by
// `since` (or to the file's start): what runs now and today's records, at the same cost
// whatever the file's size. False when the file cannot be read; the log then stays as it was.
bool ReadLogTail(TimeLog& log, const std::string& path, ClockTime since);

}  // namespace ambrin
