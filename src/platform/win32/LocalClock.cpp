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

}  // namespace ambrin::platform
