#include "platform/LocalClock.h"

#include <windows.h>

namespace ambrin::platform {

LocalClockReading ReadLocalClock()
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalClockReading reading;
    reading.year = st.wYear;
    reading.month = st.wMonth;
    reading.day = st.wDay;
    reading.hour = st.wHour;
    reading.minute = st.wMinute;
    reading.second = st.wSecond;
    reading.milliseconds = st.wMilliseconds;
    return reading;
}

std::int64_t UtcOffsetAt(const LocalClockReading& local)
{
    SYSTEMTIME wall{};
    wall.wYear = local.year;
    wall.wMonth = local.month;
    wall.wDay = local.day;
    wall.wHour = local.hour;
    wall.wMinute = local.minute;
    SYSTEMTIME utc{};
    FILETIME wallTicks{}, utcTicks{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &wall, &utc) || !SystemTimeToFileTime(&wall, &wallTicks) ||
        !SystemTimeToFileTime(&utc, &utcTicks)) {
        return 0;
    }
    const auto ticks = [](const FILETIME& t) {
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(wallTicks) - ticks(utcTicks)) / 10'000'000;
}

}  // namespace ambrin::platform
