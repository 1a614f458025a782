#pragma once

#include "core/ProjectName.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace ambrin {

// The project names offered by the strip, in the order they were first added; unique
// when ASCII letters are compared without regard to case.
class ProjectList {
public:
    // Trims spaces at both ends and appends the name unless an equal one is present.
    void AddName(std::string_view name);
    // Replaces the list with the stream's lines (control bytes cut from each line's end,
    // empty lines skipped). False on a read error, leaving the list as it was.
    bool ReadList(std::istream& in);
    // Each name and CR LF, in list order; false when the stream failed.
    bool WriteList(std::ostream& out) const;
    // The bytes WriteList writes.
    std::string Text() const;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(names_.size()); }
    const std::string& At(std::uint32_t index) const { return names_[index]; }
    int Find(std::string_view name) const;

    friend bool operator==(const ProjectList&, const ProjectList&) = default;

private:
    std::vector<std::string> names_;
};

}  // namespace ambrin
