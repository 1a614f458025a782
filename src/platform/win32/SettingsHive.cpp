// The settings hive on Windows: the registry below HKEY_CURRENT_USER.
#include "platform/SettingsHive.h"

#include <windows.h>

namespace ambrin::platform {

namespace {

class RegistryKey final : public SettingsKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() override { RegCloseKey(key_); }

    bool QueryValue(std::string_view name, void* buffer, std::uint32_t& size) override
    {
        const std::string valueName(name);
        DWORD bytes = size;
        const LONG result = RegQueryValueExA(key_, valueName.c_str(), nullptr, nullptr,
                                             static_cast<LPBYTE>(buffer), &bytes);
        size = bytes;
        return result == ERROR_SUCCESS;
    }

    bool SetValue(std::string_view name, std::uint32_t type, const void* data,
                  std::uint32_t size) override
    {
        const std::string valueName(name);
        return RegSetValueExA(key_, valueName.c_str(), 0, type, static_cast<const BYTE*>(data),
                              size) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

}  // namespace

std::string SettingsHivePath(std::string_view path)
{
    return "HKEY_CURRENT_USER\\" + std::string(path);
}

std::unique_ptr<SettingsKey> OpenSettingsKey(std::string_view path, std::uint32_t access,
                                             bool create)
{
    const std::string keyPath(path);
    HKEY key = nullptr;
    const LONG result =
        create ? RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr)
               : RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, access, &key);
    if (result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<RegistryKey>(key);
}

std::string UnreadableSettingsHive(std::string_view)
{
    return {};
}

}  // namespace ambrin::platform
