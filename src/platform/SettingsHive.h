#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ambrin::platform {

// Access masks and value types with the registry's numbers.
inline constexpr std::uint32_t kAccessRead = 1;   // KEY_QUERY_VALUE
inline constexpr std::uint32_t kAccessWrite = 2;  // KEY_SET_VALUE
inline constexpr std::uint32_t kTypeText = 1;     // REG_SZ
inline constexpr std::uint32_t kTypeBinary = 3;   // REG_BINARY
inline constexpr std::uint32_t kTypeNumber = 4;   // REG_DWORD

// An open key of the per-user settings hive; closed when destroyed.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    // As RegQueryValueExA: with no buffer, sets size to the value's size; with a buffer of
    // size bytes, copies the value when it fits and fails when it is larger.
    virtual bool QueryValue(std::string_view name, void* buffer, std::uint32_t& size) = 0;
    virtual bool SetValue(std::string_view name, std::uint32_t type, const void* data,
                          std::uint32_t size) = 0;
};

// Opens a key below the current user's root; with create, makes it and every missing
// level above it. Reading never creates anything.
std::unique_ptr<SettingsKey> OpenSettingsKey(std::string_view path, std::uint32_t access,
                                             bool create);

// Where the key's values are kept on systems without a registry (the hive file).
std::string SettingsHivePath(std::string_view path);

// The hive file of path when it exists but could not be read as one (damaged, or not ours):
// the settings it holds are not used, and it is never written over. Empty otherwise, and
// always where the settings are in the registry.
std::string UnreadableSettingsHive(std::string_view path);

}  // namespace ambrin::platform
