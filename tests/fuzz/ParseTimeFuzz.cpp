// Any text parses without undefined behaviour, and whatever parses formats back to a
// text that parses to the same time.
#include "core/ClockTime.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    ambrin::ClockTime t;
    t.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (t.IsEmpty()) return 0;
    ambrin::ClockTime again;
    again.Parse(t.Format(ambrin::ClockTextStyle::Numeric, true));
    if (!(again == t)) std::abort();
    (void)t.Format(ambrin::ClockTextStyle::DateAndTime);
    (void)t.Format(ambrin::ClockTextStyle::TimeOnly);
    return 0;
}
