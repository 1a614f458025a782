#pragma once

#include <string>
#include <string_view>

namespace ambrin {

// The application folder and the paths within it, worked out anew on every call (the
// AppFolder setting may change while the program runs). The folders are made on the way.
class FileLocations {
public:
    std::string LogFolder();
    std::string CurrentLogPath();
    std::string ProjectListPath();

private:
    std::string text_;
};

// Appends name to path with the system's separator, unless path already ends in one
// ("\" and "/" are both recognised).
void JoinPath(std::string& path, std::string_view name);

// "C:\Ambrin" on Windows, "$HOME/Ambrin" elsewhere.
std::string DefaultAppFolder();

// The log folder and the current log's path for a reader that changes nothing; no folder is
// made.
std::string LogFolderToRead();
std::string CurrentLogPathToRead();

// The help file "Ambrin.hlp" in the application folder; makes no folder.
std::string HelpFilePath();

// Opens the help file with the desktop's default handler; false when that failed (the
// windows show the message). path receives the full path either way.
bool LaunchHelp(std::string& path);

inline constexpr std::string_view kCurrentLogName = "current log.csv";
inline constexpr std::string_view kProjectListName = "projects.txt";
inline constexpr std::string_view kLogFolderName = "Logs";
inline constexpr std::string_view kHelpFileName = "Ambrin.hlp";

}  // namespace ambrin
