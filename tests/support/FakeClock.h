#pragma once

#include "core/ClockTime.h"
#include "core/TimeRecord.h"

#include <cstdint>
#include <ostream>

namespace ambrin {

// Readable failure messages: times in their numeric form with seconds.
inline void PrintTo(ClockTime value, std::ostream* os)
{
    *os << (value.IsEmpty() ? std::string("(empty)") : value.Format(ClockTextStyle::Numeric, true));
}

inline void PrintTo(const TimeRecord& r, std::ostream* os)
{
    *os << "{project \"" << r.project << "\", notes \"" << r.notes << "\", ";
    PrintTo(r.start, os);
    *os << " - ";
    PrintTo(r.end, os);
    *os << "}";
}

}  // namespace ambrin

namespace ambrin::test {

// A calendar time with whole seconds; fails the test's expectations loudly when invalid.
inline ClockTime MakeTime(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0, int milliseconds = 0)
{
    ClockTime t;
    t.FromFields(year, month, day, hour, minute, second);
    return ClockTime(t.Ticks() + static_cast<std::uint64_t>(milliseconds) * 10'000u);
}

// Replaces ClockTime::Now() while it lives.
class FakeClock {
public:
    explicit FakeClock(ClockTime start) : now_(start)
    {
        SetNowSource([this] { return now_; });
    }
    ~FakeClock() { SetNowSource({}); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void Set(ClockTime value) { now_ = value; }
    void AdvanceSeconds(std::int64_t seconds)
    {
        now_ = ClockTime(now_.Ticks() + static_cast<std::uint64_t>(seconds) * kTicksPerSecond);
    }

private:
    ClockTime now_;
};

}  // namespace ambrin::test
