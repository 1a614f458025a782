#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace ambrin::test {

// A self-cleaning temporary folder that stands in for the user's home: HOME,
// XDG_CONFIG_HOME and XDG_RUNTIME_DIR point into it while it lives.
class TempHome {
public:
    TempHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ambrin-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
            const char* old = std::getenv(name);
            saved_.push_back({name, old ? std::string(old) : std::string(), old != nullptr});
        }
        setenv("HOME", path_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
        std::filesystem::create_directories(path_ + "/run");
        setenv("XDG_RUNTIME_DIR", (path_ + "/run").c_str(), 1);
    }
    ~TempHome()
    {
        for (const Saved& s : saved_) {
            if (s.present) setenv(s.name, s.value.c_str(), 1);
            else unsetenv(s.name);
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

inline bool RunningAsRoot()
{
    return geteuid() == 0;
}

}  // namespace ambrin::test
