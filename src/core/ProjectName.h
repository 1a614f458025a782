#pragma once

#include <string>
#include <string_view>

namespace ambrin {

// The name for time spent on no project: always offered, never written to a log file.
inline constexpr std::string_view kIdleProject = "<idle>";

// Equality of names with ASCII letters compared without regard to case.
bool SameName(std::string_view a, std::string_view b);
// The name with ASCII letters in lower case: names the same by SameName have one.
std::string FoldedName(std::string_view name);
// Spaces (byte 32 only) cut from both ends.
std::string_view TrimSpaces(std::string_view name);
// Whether a record of this project goes into a log file: not blank, not exactly "<idle>".
inline bool IsWrittenProject(std::string_view project)
{
    return !project.empty() && project != kIdleProject;
}

}  // namespace ambrin
