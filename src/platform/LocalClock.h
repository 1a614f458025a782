#pragma once

#include <cstdint>

namespace ambrin::platform {

// The local wall clock broken into calendar fields (no time zone attached).
struct LocalClockReading {
    std::uint16_t year = 1601;
    std::uint16_t month = 1;
    std::uint16_t day = 1;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

LocalClockReading ReadLocalClock();

// Seconds east of UTC that the system's time zone has in effect at a local time (seconds and
// milliseconds of the reading are ignored). In the hour a clock change repeats, either may
// be given.
std::int64_t UtcOffsetAt(const LocalClockReading& local);

}  // namespace ambrin::platform
