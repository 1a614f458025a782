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

}  // namespace ambrin::platform
