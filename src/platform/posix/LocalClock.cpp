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

std::int64_t UtcOffsetAt(const LocalClockReading& local)
{
    tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_isdst = -1;  // the zone decides
    const time_t utc = mktime(&fields);
    if (utc == static_cast<time_t>(-1)) return 0;
    tm back{};
    localtime_r(&utc, &back);
    return back.tm_gmtoff;
}

}  // namespace ambrin::platform
