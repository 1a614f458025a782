// Any text parses without undefined behaviour, whatever parses formats back to a text that
// parses to the same time, and a reader of the input's lines in turn gives what Parse gives.
#include "core/ClockTime.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ambrin::ClockTextReader reader;
    for (std::size_t begin = 0; begin <= input.size();) {
        const std::size_t end = std::min(input.find('\n', begin), input.size());
        const std::string_view line = input.substr(begin, end - begin);
        ambrin::ClockTime expected;
        expected.Parse(line);
        if (!(reader.Parse(line) == expected)) std::abort();
        begin = end + 1;
    }

    ambrin::ClockTime t;
    t.Parse(input);
    if (t.IsEmpty()) return 0;
    ambrin::ClockTime again;
    again.Parse(t.Format(ambrin::ClockTextStyle::Numeric, true));
    if (!(again == t)) std::abort();
    (void)t.Format(ambrin::ClockTextStyle::DateAndTime);
    (void)t.Format(ambrin::ClockTextStyle::TimeOnly);
    return 0;
}
