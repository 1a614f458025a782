#pragma once

#include "core/TimeLog.h"

#include <cstddef>
#include <random>
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

}  // namespace ambrin::test
