// Reads any bytes as a log file, writes the records back and reads them again: the
// second reading must give the records of the first. The rows read must be the lines'
// fields as NextField decodes them one at a time (the reader takes shortcuts for plain
// fields and lines without backslashes).
#include "storage/CsvLog.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Lines without their CRs and trailing spaces; blank ones and rows of no field left out.
std::vector<std::vector<std::string>> RowsOneFieldAtATime(const std::string& input)
{
    std::vector<std::vector<std::string>> rows;
    // A file's UTF-8 byte-order mark is no text.
    for (std::size_t begin = input.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0; begin < input.size();) {
        const std::size_t end = std::min(input.find('\n', begin), input.size());
        std::string line = input.substr(begin, end - begin);
        begin = end + 1;
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (line.empty()) continue;
        ambrin::FieldCursor cursor{line};
        std::vector<std::string> row;
        for (std::string field; ambrin::NextField(cursor, field);) row.push_back(field);
        if (!row.empty()) rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    ambrin::TimeLog first;
    if (!first.ReadCsv(in)) std::abort();

    std::istringstream tableIn(input);
    ambrin::CsvTable table;
    if (!table.Read(tableIn)) std::abort();
    const std::vector<std::vector<std::string>> rows = RowsOneFieldAtATime(input);
    if (table.Count() != rows.size()) std::abort();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (table.Row(i).Fields() != rows[i]) std::abort();
    }

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
