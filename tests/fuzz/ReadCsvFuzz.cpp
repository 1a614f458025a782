// Reads any bytes as a log file, writes the records back and reads them again: the
// second reading must give the records of the first.
#include "storage/CsvLog.h"

#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    ambrin::TimeLog first;
    if (!first.ReadCsv(in)) std::abort();

    for (const bool totals : {false, true}) {
        std::ostringstream out;
        if (!first.WriteCsv(out, totals)) std::abort();
        std::istringstream again(out.str());
        ambrin::TimeLog second;
        if (!second.ReadCsv(again)) std::abort();

        // The writer leaves out idle and blank records and turns quotes into apostrophes
        // and backslashes into slashes; compare against the same transformation.
        std::uint32_t j = 0;
        for (std::uint32_t i = 0; i < first.Count(); ++i) {
            const ambrin::TimeRecord& r = first.At(i);
            if (r.project.empty() || r.project == "<idle>") continue;
            if (j >= second.Count()) std::abort();
            const ambrin::TimeRecord& s = second.At(j++);
            auto written = [](std::string text) {
                for (char& c : text) {
                    if (c == '"') c = '\'';
                    if (c == '\\') c = '/';
                }
                return text;
            };
            // A project that becomes blank or idle only through the writer's
            // transformation cannot occur: neither holds a quote or a backslash.
            if (s.project != written(r.project) || s.notes != written(r.notes)) std::abort();
            if (s.start.Ticks() / ambrin::kTicksPerMinute != r.start.Ticks() / ambrin::kTicksPerMinute)
                std::abort();
            if (s.end.Ticks() / ambrin::kTicksPerMinute != r.end.Ticks() / ambrin::kTicksPerMinute)
                std::abort();
        }
        if (j != second.Count()) std::abort();
    }
    return 0;
}
