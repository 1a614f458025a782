#pragma once

#include <string_view>

namespace ambrin::platform {

// The safe replacement's temporary beside a target: ".<name>.tmp-" and six letters or digits.
inline constexpr std::string_view kTemporaryMarker = ".tmp-";
inline constexpr std::size_t kTemporaryRandomLength = 6;

inline bool IsTemporaryOf(std::string_view entry, std::string_view name)
{
    const std::size_t prefix = 1 + name.size() + kTemporaryMarker.size();
    if (entry.size() != prefix + kTemporaryRandomLength || entry.front() != '.') return false;
    if (entry.substr(1, name.size()) != name) return false;
    if (entry.substr(1 + name.size(), kTemporaryMarker.size()) != kTemporaryMarker) return false;
    for (const char c : entry.substr(prefix)) {
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum) return false;
    }
    return true;
}

}  // namespace ambrin::platform
