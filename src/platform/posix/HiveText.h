#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ambrin::platform {

// The text of a registry export ("REGEDIT4"), read and edited in place: a change touches
// only the line of the value changed, every other byte stays as it stands.
class HiveText {
public:
    // False for a non-empty text that does not start with the REGEDIT4 header.
    bool Parse(std::string_view text);

    bool HasSection(std::string_view section) const;
    // The value's type and bytes; with a name given twice, the last one counts.
    bool Find(std::string_view section, std::string_view name, std::uint32_t& type,
              std::string& bytes) const;
    void AddSection(std::string_view section);
    void SetNumber(std::string_view section, std::string_view name, std::uint32_t value);
    std::string Text() const;

private:
    static constexpr std::size_t kNone = ~std::size_t{0};
    struct Entry {
        enum class Kind { Header, Section, Value, Other } kind = Kind::Other;
        std::string raw;  // the physical lines, continuations and line ends included
        std::string name;
        std::uint32_t type = 0;
        std::string bytes;
        std::size_t section = kNone;  // index of the section entry it belongs to
    };

    std::vector<Entry> entries_;
    std::size_t FindSection(std::string_view section) const;
    void Reindex();
};

}  // namespace ambrin::platform
