#include "platform/LocalClock.h"

#include <ctime>

namespace ambrin::platform {

LocalClockReading ReadLocalClock()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    LocalClockReading reading;
    reading.year = static_cast<std::uint16_t>(local.tm_year + 1900);
    reading.month = static_cast<std::uint16_t>(local.tm_mon + 1);
    reading.day = static_cast<std::uint16_t>(local.tm_mday);
    reading.hour = static_cast<std::uint16_t>(local.tm_hour);
    reading.minute = static_cast<std::uint16_t>(local.tm_min);
    // A leap second (tm_sec 60) is shown as the last second of its minute.
    reading.second = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    reading.milliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1'000'000);
    return reading;
}

}  // namespace ambrin::platform
