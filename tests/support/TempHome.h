#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace ambrin::test {

inline void SetEnvironment(const char* name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvironment(const char* name)
{
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

// A self-cleaning temporary folder that stands in for the user's home: HOME,
// XDG_CONFIG_HOME and XDG_RUNTIME_DIR point into it while it lives.
class TempHome {
public:
    TempHome()
    {
        std::random_device random;
        do {
            path_ = (std::filesystem::temp_directory_path() / ("ambrin-test-" + std::to_string(random()))).string();
        } while (!std::filesystem::create_directory(path_));
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
            const char* old = std::getenv(name);
            saved_.push_back({name, old ? std::string(old) : std::string(), old != nullptr});
        }
        SetEnvironment("HOME", path_);
        SetEnvironment("XDG_CONFIG_HOME", path_ + "/config");
        std::filesystem::create_directories(path_ + "/run");
        SetEnvironment("XDG_RUNTIME_DIR", path_ + "/run");
    }
    ~TempHome()
    {
        for (const Saved& s : saved_) {
            if (s.present) SetEnvironment(s.name, s.value);
            else UnsetEnvironment(s.name);
        }
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Path() const { return path_; }
    std::string HivePath() const { return path_ + "/config/Velmora Software/Ambrin.reg"; }

private:
    struct Saved {
        const char* name;
        std::string value;
        bool present;
    };
    std::string path_;
    std::vector<Saved> saved_;
};

inline std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline bool RunningAsRoot()
{
#ifdef _WIN32
    return false;
#else
    return geteuid() == 0;
#endif
}

}  // namespace ambrin::test
