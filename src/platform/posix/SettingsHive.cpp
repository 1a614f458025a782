// The settings hive on systems without a registry: one REGEDIT4 text file per key, below
// the user's configuration folder ("Software\A\B" is <config>/A/B.reg).
#include "platform/SettingsHive.h"

#include "platform/FileSystem.h"
#include "platform/posix/HiveText.h"

#include <cstring>
#include <vector>

namespace ambrin::platform {

namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

std::vector<std::string> KeyLevels(std::string_view path)
{
    std::vector<std::string> levels;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find('\\', begin), path.size());
        if (end > begin) levels.emplace_back(path.substr(begin, end - begin));
        begin = end + 1;
    }
    // "Software" is what the configuration folder already means.
    if (!levels.empty() && levels.front().size() == 8) {
        std::string first = levels.front();
        for (char& c : first) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (first == "software") levels.erase(levels.begin());
    }
    return levels;
}

class HiveFileKey final : public SettingsKey {
public:
    HiveFileKey(std::string file, std::string section, HiveText text)
        : file_(std::move(file)), section_(std::move(section)), text_(std::move(text))
    {
    }

    bool QueryValue(std::string_view name, void* buffer, std::uint32_t& size) override
    {
        std::uint32_t type = 0;
        std::string bytes;
        if (!text_.Find(section_, name, type, bytes)) return false;
        const auto needed = static_cast<std::uint32_t>(bytes.size());
        if (buffer == nullptr) {
            size = needed;
            return true;
        }
        if (needed > size) {
            size = needed;
            return false;
        }
        std::memcpy(buffer, bytes.data(), bytes.size());
        size = needed;
        return true;
    }

    bool SetValue(std::string_view name, std::uint32_t type, const void* data,
                  std::uint32_t size) override
    {
        if (type != kTypeNumber || size != 4) return false;
        const auto* b = static_cast<const unsigned char*>(data);
        const std::uint32_t value = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        HiveText edited = text_;
        edited.SetNumber(section_, name, value);
        if (ReplaceFileContents(file_, edited.Text()) != ReplaceResult::Replaced) return false;
        text_ = std::move(edited);
        return true;
    }

private:
    std::string file_;
    std::string section_;
    HiveText text_;
};

}  // namespace

std::string SettingsHivePath(std::string_view path)
{
    const std::vector<std::string> levels = KeyLevels(path);
    std::string file = ConfigFolder();
    if (levels.empty() || file.empty()) return {};
    for (const std::string& level : levels) file += "/" + level;
    return file + ".reg";
}

std::unique_ptr<SettingsKey> OpenSettingsKey(std::string_view path, std::uint32_t /*access*/,
                                             bool create)
{
    const std::string file = SettingsHivePath(path);
    if (file.empty()) return nullptr;
    const std::string section = std::string(kRootName) + "\\" + std::string(path);

    HiveText text;
    std::string bytes;
    const bool exists = PathExists(file);
    if (exists && !ReadWholeFile(file, bytes)) return nullptr;
    // A file that is not ours (no REGEDIT4 header) reads as absent and is never written.
    if (!text.Parse(bytes)) return nullptr;
    if (!text.HasSection(section)) {
        if (!create) return nullptr;
        // Make every missing folder level, one at a time, then the key itself.
        const std::vector<std::string> levels = KeyLevels(path);
        std::string folder = ConfigFolder();
        if (!IsDirectory(folder)) MakeFolder(folder);
        for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
            folder += "/" + levels[i];
            if (!IsDirectory(folder)) MakeFolder(folder);
        }
        text.AddSection(section);
        if (ReplaceFileContents(file, text.Text()) != ReplaceResult::Replaced) return nullptr;
    }
    return std::make_unique<HiveFileKey>(file, section, std::move(text));
}

std::string UnreadableSettingsHive(std::string_view path)
{
    const std::string file = SettingsHivePath(path);
    std::string bytes;
    HiveText text;
    if (file.empty() || !PathExists(file)) return {};
    return ReadWholeFile(file, bytes) && text.Parse(bytes) ? std::string() : file;
}

}  // namespace ambrin::platform
