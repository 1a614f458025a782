#include "core/ClockTime.h"

#include "platform/LocalClock.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace ambrin {

namespace {

// Days from 1970-01-01 to 1601-01-01 in the proleptic Gregorian calendar.
constexpr std::int64_t kEpochShiftDays = 134'774;
constexpr std::size_t kParseLimit = 200;

const char* const kMonthNames[] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

NowSource& NowOverride()
{
    static NowSource source;
    return source;
}

bool IsLeapYear(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1601-01-01 of a valid date (after H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = y / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + kEpochShiftDays;
}

void CivilFromDays(std::int64_t days, CalendarFields& f)
{
    const std::int64_t z = days - kEpochShiftDays + 719468;
    const std::int64_t era = z / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
    f.year = static_cast<std::uint16_t>(y);
    f.month = static_cast<std::uint16_t>(m);
    f.day = static_cast<std::uint16_t>(d);
    // 1601-01-01 was a Monday.
    f.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
}

void AppendTwoDigits(std::string& out, unsigned value)
{
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

void AppendTwelveHour(std::string& out, const CalendarFields& f)
{
    const unsigned hour = f.hour == 0 ? 12 : (f.hour > 12 ? f.hour - 12u : f.hour);
    AppendDecimal(out, hour);
    out.push_back(':');
    AppendTwoDigits(out, f.minute);
    out += f.hour < 12 ? " am" : " pm";
}

// atoi, but saturating at the int range instead of overflowing.
int SaturatingAtoi(std::string_view text)
{
    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= INT_MAX) value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// One token: skip delimiters, take up to the next delimiter, consume that delimiter.
bool NextToken(std::string_view text, std::size_t& pos, std::string_view delimiters,
               std::string_view& token)
{
    while (pos < text.size() && delimiters.find(text[pos]) != std::string_view::npos) ++pos;
    if (pos >= text.size()) return false;
    const std::size_t begin = pos;
    while (pos < text.size() && delimiters.find(text[pos]) == std::string_view::npos) ++pos;
    token = text.substr(begin, pos - begin);
    if (pos < text.size()) ++pos;
    return true;
}

std::uint16_t Low16(long long value)
{
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(value) & 0xFFFFu);
}

bool ReadShortNumber(const char*& p, const char* end, std::uint16_t& field)
{
    const char* const begin = p;
    unsigned value = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - begin < 5) value = value * 10 + unsigned(*p++ - '0');
    field = Low16(value);
    return p > begin && (p == end || *p < '0' || *p > '9');
}

// The form the log writer produces ("3-7-2005 9:05", optionally ":30"), read without the
// general tokenizer. Gives exactly what the tokenizer gives; false sends any other text to it.
bool ParseCommonForm(std::string_view text, CalendarFields& f)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    auto separator = [&](char a, char b) {
        if (p == end || (*p != a && *p != b)) return false;
        ++p;
        return true;
    };
    // A month of three digits or more is no month of this form: a day given year first, maybe.
    if (!ReadShortNumber(p, end, f.month) || p - text.data() > 2 || !separator('-', '/') ||
        !ReadShortNumber(p, end, f.day) || !separator('-', '/') ||
        !ReadShortNumber(p, end, f.year) || !separator(' ', ' ') ||
        !ReadShortNumber(p, end, f.hour) || !separator(':', ':') ||
        !ReadShortNumber(p, end, f.minute)) {
        return false;
    }
    if (p == end) return true;
    return separator(':', ':') && ReadShortNumber(p, end, f.second) && p == end;
}

// Takes a 12-hour clock's "AM" or "PM" (any case, after the time) off the end of text:
// 1 for AM, 2 for PM, 0 when there is none.
int TakeMeridiem(std::string_view& text)
{
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.size() < 3) return 0;
    const char a = static_cast<char>(text[text.size() - 2] | 0x20);
    const char m = static_cast<char>(text[text.size() - 1] | 0x20);
    const char before = text[text.size() - 3];
    if ((a != 'a' && a != 'p') || m != 'm' || (before != ' ' && (before < '0' || before > '9'))) return 0;
    text.remove_suffix(2);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return a == 'a' ? 1 : 2;
}

// A day given year first, as spreadsheets write it ("2026-12-01 10:00", seconds and a "T"
// before the time allowed, a fraction of a second ignored). False for any other text.
bool ParseYearFirst(std::string_view text, CalendarFields& f)
{
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const std::size_t digits = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    if (pos - digits < 3 || pos == text.size() || text[pos] != '-') return false;
    std::string_view year, month, day, hour, minute, second;
    pos = digits;
    if (!NextToken(text, pos, "-", year) || !NextToken(text, pos, "-", month) || !NextToken(text, pos, " T", day) ||
        !NextToken(text, pos, ":", hour) || !NextToken(text, pos, ":", minute)) {
        return false;
    }
    f.year = Low16(SaturatingAtoi(year));
    f.month = Low16(SaturatingAtoi(month));
    f.day = Low16(SaturatingAtoi(day));
    f.hour = Low16(SaturatingAtoi(hour));
    f.minute = Low16(SaturatingAtoi(minute));
    if (NextToken(text, pos, ".", second)) f.second = Low16(SaturatingAtoi(second));
    return true;
}

}  // namespace

char* PutDecimal(char* w, std::uint64_t value)
{
    char digits[20];
    char* const end = digits + sizeof digits;
    char* first = end;
    do {
        *--first = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::copy(first, end, w);
}

void AppendDecimal(std::string& out, std::uint64_t value)
{
    char digits[20];
    out.append(digits, PutDecimal(digits, value));
}

bool FieldsToTicks(const CalendarFields& f, std::uint64_t& ticks)
{
    if (f.year < 1601 || f.year > 30827 || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > DaysInMonth(f.year, f.month) || f.hour > 23 || f.minute > 59 ||
        f.second > 59 || f.milliseconds > 999) {
        return false;
    }
    const auto days = static_cast<std::uint64_t>(DaysFromCivil(f.year, f.month, f.day));
    const std::uint64_t seconds = f.hour * 3600ULL + f.minute * 60ULL + f.second;
    ticks = days * kTicksPerDay + seconds * kTicksPerSecond + f.milliseconds * 10'000ULL;
    return true;
}

ClockTime ClockTime::Now()
{
    if (const NowSource& source = NowOverride()) return source();
    const platform::LocalClockReading r = platform::ReadLocalClock();
    CalendarFields f;
    f.year = r.year;
    f.month = r.month;
    f.day = r.day;
    f.hour = r.hour;
    f.minute = r.minute;
    f.second = r.second;
    f.milliseconds = r.milliseconds;
    std::uint64_t ticks = 0;
    return FieldsToTicks(f, ticks) ? ClockTime(ticks) : ClockTime();
}

void SetNowSource(NowSource source)
{
    NowOverride() = std::move(source);
}

bool ClockTime::FromFields(long long year, long long month, long long day, long long hour,
                           long long minute, long long second)
{
    CalendarFields f;
    f.year = Low16(year);
    f.month = Low16(month);
    f.day = Low16(day);
    f.hour = Low16(hour);
    f.minute = Low16(minute);
    f.second = Low16(second);
    std::uint64_t ticks = 0;
    if (!FieldsToTicks(f, ticks)) return false;
    ticks_ = ticks;
    return true;
}

CalendarFields ClockTime::Fields() const
{
    CalendarFields f;
    CivilFromDays(static_cast<std::int64_t>(ticks_ / kTicksPerDay), f);
    const std::uint64_t withinDay = ticks_ % kTicksPerDay;
    const std::uint64_t seconds = withinDay / kTicksPerSecond;
    f.hour = static_cast<std::uint16_t>(seconds / 3600);
    f.minute = static_cast<std::uint16_t>(seconds / 60 % 60);
    f.second = static_cast<std::uint16_t>(seconds % 60);
    f.milliseconds = static_cast<std::uint16_t>(withinDay % kTicksPerSecond / 10'000);
    return f;
}

void AppendNumeric(std::string& out, ClockTime value, bool withSeconds)
{
    if (value.IsEmpty()) return;
    const CalendarFields f = value.Fields();
    AppendDecimal(out, f.month);
    out.push_back('-');
    AppendDecimal(out, f.day);
    out.push_back('-');
    AppendDecimal(out, f.year);
    out.push_back(' ');
    AppendDecimal(out, f.hour);
    out.push_back(':');
    AppendTwoDigits(out, f.minute);
    if (withSeconds) {
        out.push_back(':');
        AppendTwoDigits(out, f.second);
    }
}

std::string ClockTime::Format(ClockTextStyle style, bool withSeconds) const
{
    std::string text;
    if (IsEmpty()) return text;
    switch (style) {
    case ClockTextStyle::Numeric:
        AppendNumeric(text, *this, withSeconds);
        break;
    case ClockTextStyle::TimeOnly:
        text = "         ";
        AppendTwelveHour(text, Fields());
        break;
    case ClockTextStyle::DateAndTime: {
        const CalendarFields f = Fields();
        text = kDayNames[f.dayOfWeek];
        text += ' ';
        text += kMonthNames[f.month];
        text += ' ';
        AppendDecimal(text, f.day);
        text += ", ";
        AppendTwelveHour(text, f);
        break;
    }
    }
    return text;
}

void ClockTime::Parse(std::string_view text)
{
    ticks_ = 0;
    text = text.substr(0, kParseLimit);
    std::uint64_t ticks = 0;
    if (CalendarFields common; ParseCommonForm(text, common)) {
        if (FieldsToTicks(common, ticks)) ticks_ = ticks;
        return;
    }
    const int meridiem = TakeMeridiem(text);
    CalendarFields f;
    if (!ParseYearFirst(text, f)) {
        std::size_t pos = 0;
        std::string_view month, day, year, hour, minute, second;
        if (!NextToken(text, pos, "-/", month) || !NextToken(text, pos, "-/", day) ||
            !NextToken(text, pos, " ", year) || !NextToken(text, pos, ":", hour) ||
            !NextToken(text, pos, ": ", minute)) {
            return;
        }
        f.year = Low16(SaturatingAtoi(year));
        f.month = Low16(SaturatingAtoi(month));
        f.day = Low16(SaturatingAtoi(day));
        f.hour = Low16(SaturatingAtoi(hour));
        f.minute = Low16(SaturatingAtoi(minute));
        if (NextToken(text, pos, " ", second)) f.second = Low16(SaturatingAtoi(second));
    }
    if (meridiem != 0) {
        // 12 AM is midnight, 12 PM noon; a 12-hour clock has no hour 0 or 13.
        if (f.hour < 1 || f.hour > 12) return;
        f.hour = static_cast<std::uint16_t>(f.hour % 12 + (meridiem == 2 ? 12 : 0));
    }
    if (FieldsToTicks(f, ticks)) ticks_ = ticks;
}

bool SameDay(ClockTime a, ClockTime b)
{
    return a.Ticks() / kTicksPerDay == b.Ticks() / kTicksPerDay;
}

std::int64_t SecondsBetween(ClockTime later, ClockTime earlier)
{
    const auto difference = static_cast<std::int64_t>(later.Ticks() - earlier.Ticks());
    return difference / static_cast<std::int64_t>(kTicksPerSecond);
}

ClockTime RoundToQuarterHour(ClockTime value)
{
    const std::uint64_t quarters =
        (value.Ticks() + kTicksPerHalfQuarterHour) / kTicksPerQuarterHour;
    return ClockTime(quarters * kTicksPerQuarterHour);
}

std::string FormatHours(std::int32_t seconds)
{
    const double hours = static_cast<double>(seconds) * (1.0 / 3600.0);
    // 17 significant digits: "d.dddddddddddddddde+XX".
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.16e", hours);
    const std::string_view text(buffer);
    const bool negative = text.front() == '-';
    const std::string_view mantissa = text.substr(negative ? 1 : 0);
    std::string digits;
    for (char c : mantissa.substr(0, mantissa.find('e'))) {
        if (c != '.') digits.push_back(c);
    }
    const int exponent = std::atoi(buffer + text.find('e') + 1);

    // Keep the digits down to the hundredths; the first dropped digit rounds half away.
    const int keep = exponent + 3;
    std::uint64_t hundredths = 0;
    for (int i = 0; i < keep && i < static_cast<int>(digits.size()); ++i) {
        hundredths = hundredths * 10 + static_cast<unsigned>(digits[i] - '0');
    }
    for (int i = static_cast<int>(digits.size()); i < keep; ++i) hundredths *= 10;
    if (keep >= 0 && keep < static_cast<int>(digits.size()) && digits[keep] >= '5') {
        ++hundredths;
    }

    std::string out;
    if (negative) out.push_back('-');
    AppendDecimal(out, hundredths / 100);
    out.push_back('.');
    AppendTwoDigits(out, static_cast<unsigned>(hundredths % 100));
    return out;
}

}  // namespace ambrin
