// Any text parses without undefined behaviour, whatever parses formats back to a text that
// parses to the same time, and the log reader, which reads a run of times on one date faster,
// reads each line of the input as a time just as Parse does.
#include "core/ClockTime.h"
#include "core/LogText.h"
#include "core/TimeLog.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ambrin::TimeLog log;
    ambrin::LogLineReader reader(log);
    for (std::size_t begin = 0; begin <= input.size();) {
        const std::size_t end = std::min(input.find('\n', begin), input.size());
        std::string text(input.substr(begin, end - begin));
        begin = end + 1;
        std::erase_if(text, [](char c) { return c == '"' || c == '\\' || c == '\r' || c == ','; });
        ambrin::ClockTime expected;
        expected.Parse(text);
        reader.Read("\"" + text + "\",\"\",\"P\",\"\"");
        if (log.Count() == 0 || !(log.View(log.Count() - 1).start == expected)) std::abort();
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
