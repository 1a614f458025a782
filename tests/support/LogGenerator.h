#pragma once

#include "core/TimeLog.h"

#include <cstddef>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace ambrin::test {

// A realistic history: about 40 projects, back-to-back records of 5 to 180 minutes,
// notes on 40 % of them with commas, quotes and line breaks.
inline TimeLog GenerateLog(std::size_t count, unsigned seed = 2005)
{
    static const char* const kWords[] = {"Website", "redesign", "Accounts", "Support", "Client",
                                         "Review", "Meeting", "Backend", "Migration", "Audit",
                                         "Sales", "Planning", "Research", "Release", "Training"};
    std::mt19937 random(seed);
    auto word = [&] { return std::string(kWords[random() % std::size(kWords)]); };
    std::vector<std::string> projects;
    for (int i = 0; i < 40; ++i) projects.push_back(word() + " " + word() + " " + std::to_string(i));

    TimeLog log;
    ClockTime at;
    at.FromFields(2015, 1, 5, 8, 0, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const ClockTime end(at.Ticks() + (5 + random() % 176) * kTicksPerMinute);
        std::string notes;
        if (random() % 10 < 4) {
            notes = "Called " + word() + ", sent \"" + word() + "\" notes";
            if (random() % 3 == 0) notes += "\r\nFollow up on " + word();
        }
        log.Append(projects[random() % projects.size()], notes, at, end);
        at = end;
    }
    return log;
}

// The same history as its file holds it.
inline std::string GenerateCsv(std::size_t count, bool totals = false)
{
    std::ostringstream bytes;
    GenerateLog(count).WriteCsv(bytes, totals);
    return bytes.str();
}

// A log's records in order, to compare a whole log at once.
inline std::vector<TimeRecord> RecordsOf(const TimeLog& log)
{
    std::vector<TimeRecord> records;
    for (std::uint32_t i = 0; i < log.Count(); ++i) records.push_back(log.View(i));
    return records;
}

// A log's projects in order, each followed by ";".
inline std::string ProjectsOf(const TimeLog& log)
{
    std::string names;
    for (std::uint32_t i = 0; i < log.Count(); ++i) names += log.View(i).project + ";";
    return names;
}

}  // namespace ambrin::test
