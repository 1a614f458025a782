#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ambrin {

// 100-nanosecond ticks on the local wall clock.
inline constexpr std::uint64_t kTicksPerSecond = 10'000'000ULL;
inline constexpr std::uint64_t kTicksPerMinute = 600'000'000ULL;
inline constexpr std::uint64_t kTicksPerQuarterHour = 9'000'000'000ULL;
inline constexpr std::uint64_t kTicksPerHalfQuarterHour = 4'500'000'000ULL;
inline constexpr std::uint64_t kTicksPerDay = 864'000'000'000ULL;

enum class ClockTextStyle { Numeric, TimeOnly, DateAndTime };

// A calendar breakdown with the field ranges of the Windows SYSTEMTIME structure.
struct CalendarFields {
    std::uint16_t year = 1601;
    std::uint16_t month = 1;
    std::uint16_t dayOfWeek = 1;  // 0 = Sunday; derived, ignored when converting to ticks
    std::uint16_t day = 1;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// A local wall-clock time as ticks since 1601-01-01 00:00; 0 is the empty value.
class ClockTime {
public:
    ClockTime() = default;
    explicit ClockTime(std::uint64_t ticks) : ticks_(ticks) {}

    std::uint64_t Ticks() const { return ticks_; }
    bool IsEmpty() const { return ticks_ == 0; }
    void Clear() { ticks_ = 0; }

    static ClockTime Now();

    // Each argument is cut to its low 16 bits, as a 16-bit calendar field would hold it.
    // Returns false and leaves the value unchanged when the fields name no valid time.
    bool FromFields(long long year, long long month, long long day, long long hour,
                    long long minute, long long second);

    CalendarFields Fields() const;

    std::string Format(ClockTextStyle style, bool withSeconds = false) const;
    void Parse(std::string_view text);

    friend bool operator==(ClockTime a, ClockTime b) = default;
    friend auto operator<=>(ClockTime a, ClockTime b) = default;

private:
    std::uint64_t ticks_ = 0;
};

// Validates and converts calendar fields (milliseconds included); false when out of range.
bool FieldsToTicks(const CalendarFields& fields, std::uint64_t& ticks);

bool SameDay(ClockTime a, ClockTime b);
std::int64_t SecondsBetween(ClockTime later, ClockTime earlier);
ClockTime RoundToQuarterHour(ClockTime value);

// The "Hours" text of the Edit Log list: "%.2f" of seconds / 3600, rounded first to
// 17 significant digits and then half away from zero (450 s gives "0.13").
std::string FormatHours(std::int32_t seconds);

// Writes value in plain decimal, no leading zeros, at w (room for 20 bytes); returns the end.
char* PutDecimal(char* w, std::uint64_t value);
// Appends value in plain decimal, no leading zeros.
void AppendDecimal(std::string& out, std::uint64_t value);

// Appends the Numeric text form without allocating a temporary string.
void AppendNumeric(std::string& out, ClockTime value, bool withSeconds = false);

// Tests replace the wall clock with a fixed or stepping one; an empty function restores it.
using NowSource = std::function<ClockTime()>;
void SetNowSource(NowSource source);

}  // namespace ambrin
