#pragma once

#include "platform/SettingsHive.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ambrin {

enum class SettingsRoot { CurrentUser };

// The program's key, its values and their defaults.
namespace settings {
inline constexpr std::string_view kKeyPath = "Software\\Velmora Software\\Ambrin";
inline constexpr std::string_view kAppFolder = "AppFolder";

struct Option {
    std::string_view name;
    std::uint32_t defaultValue;
};
inline constexpr Option kTopmost{"Topmost", 1};
inline constexpr Option kPopNote{"PopNote", 1};
inline constexpr Option kEndProj{"EndProj", 0};
inline constexpr Option kRoundTimes{"RoundTimes", 0};
inline constexpr Option kIncludeTotals{"IncludeTotals", 0};
// Minutes without input (or a lock, or a sleep) after which the return asks about the time
// away; 0 asks never.
inline constexpr Option kAwayMinutes{"AwayMinutes", 10};
}  // namespace settings

// Reads and writes single values; every call opens and closes the key itself.
class SettingsStore {
public:
    static std::unique_ptr<platform::SettingsKey> OpenKey(SettingsRoot root, std::string_view path,
                                                          std::uint32_t access, bool create);
    // Sets out to the stored text ("" when there is none); true when the value was found.
    static bool ReadText(SettingsRoot root, std::string_view path, std::string_view name,
                         std::string& out);
    // Copies a stored value of up to 4 bytes over the low bytes of value, whatever its
    // type; leaves value untouched and returns false otherwise.
    static bool ReadNumber(SettingsRoot root, std::string_view path, std::string_view name,
                           std::uint32_t& value);
    static bool WriteNumber(SettingsRoot root, std::string_view path, std::string_view name,
                            std::uint32_t value);

    // An option of the program's key, read now: its default when absent or unreadable.
    static std::uint32_t Read(const settings::Option& option);
    static bool IsOn(const settings::Option& option) { return Read(option) != 0; }
    static bool Write(const settings::Option& option, bool on);
    static bool WriteValue(const settings::Option& option, std::uint32_t value);
};

}  // namespace ambrin
