#include "storage/SettingsStore.h"

#include <vector>

namespace ambrin {

std::unique_ptr<platform::SettingsKey> SettingsStore::OpenKey(SettingsRoot /*root*/,
                                                              std::string_view path,
                                                              std::uint32_t access, bool create)
{
    return platform::OpenSettingsKey(path, access, create);
}

bool SettingsStore::ReadText(SettingsRoot root, std::string_view path, std::string_view name,
                             std::string& out)
{
    out.clear();
    const auto key = OpenKey(root, path, platform::kAccessRead, false);
    if (!key) return false;
    std::uint32_t size = 0;
    if (!key->QueryValue(name, nullptr, size)) return false;
    if (size == 0) return true;
    // One spare zero byte ends a text stored without its terminator.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    std::uint32_t offered = size + 1;
    if (!key->QueryValue(name, buffer.data(), offered)) return false;
    out.assign(buffer.data());
    return true;
}

bool SettingsStore::ReadNumber(SettingsRoot root, std::string_view path, std::string_view name,
                               std::uint32_t& value)
{
    const auto key = OpenKey(root, path, platform::kAccessRead, false);
    if (!key) return false;
    unsigned char bytes[4];
    std::uint32_t size = sizeof bytes;
    if (!key->QueryValue(name, bytes, size)) return false;
    for (std::uint32_t i = 0; i < size; ++i) {
        value = (value & ~(0xFFu << (8 * i))) | static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return true;
}

bool SettingsStore::WriteNumber(SettingsRoot root, std::string_view path, std::string_view name,
                                std::uint32_t value)
{
    const auto key = OpenKey(root, path, platform::kAccessWrite, true);
    if (!key) return false;
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16),
                                    static_cast<unsigned char>(value >> 24)};
    return key->SetValue(name, platform::kTypeNumber, bytes, sizeof bytes);
}

std::uint32_t SettingsStore::Read(const settings::Option& option)
{
    std::uint32_t value = option.defaultValue;
    ReadNumber(SettingsRoot::CurrentUser, settings::kKeyPath, option.name, value);
    return value;
}

bool SettingsStore::Write(const settings::Option& option, bool on)
{
    return WriteValue(option, on ? 1 : 0);
}

bool SettingsStore::WriteValue(const settings::Option& option, std::uint32_t value)
{
    return WriteNumber(SettingsRoot::CurrentUser, settings::kKeyPath, option.name, value);
}

}  // namespace ambrin
