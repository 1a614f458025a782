#include "storage/FileLocations.h"

#include "platform/FileSystem.h"
#include "storage/SettingsStore.h"

namespace ambrin {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string AppFolderSetting()
{
    std::string folder;
    SettingsStore::ReadText(SettingsRoot::CurrentUser, settings::kKeyPath, settings::kAppFolder,
                            folder);
    return folder.empty() ? DefaultAppFolder() : folder;
}

}  // namespace

void JoinPath(std::string& path, std::string_view name)
{
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path.push_back(kSeparator);
    path.append(name);
}

std::string DefaultAppFolder()
{
#ifdef _WIN32
    return "C:\\Ambrin";
#else
    std::string folder = platform::HomeFolder();
    JoinPath(folder, "Ambrin");
    return folder;
#endif
}

std::string FileLocations::LogFolder()
{
    text_ = AppFolderSetting();
    // One level at a time; a failure is ignored and the path returned all the same.
    if (!platform::PathExists(text_)) platform::MakeFolder(text_);
    JoinPath(text_, kLogFolderName);
    if (!platform::PathExists(text_)) platform::MakeFolder(text_);
    return text_;
}

std::string FileLocations::CurrentLogPath()
{
    LogFolder();
    JoinPath(text_, kCurrentLogName);
    return text_;
}

std::string FileLocations::ProjectListPath()
{
    LogFolder();
    JoinPath(text_, kProjectListName);
    return text_;
}

std::string LogFolderToRead()
{
    std::string path = AppFolderSetting();
    JoinPath(path, kLogFolderName);
    return path;
}

std::string CurrentLogPathToRead()
{
    std::string path = LogFolderToRead();
    JoinPath(path, kCurrentLogName);
    return path;
}

std::string HelpFilePath()
{
    std::string path = AppFolderSetting();
    JoinPath(path, kHelpFileName);
    return path;
}

bool LaunchHelp(std::string& path)
{
    path = HelpFilePath();
    return platform::OpenWithDefaultHandler(path);
}

}  // namespace ambrin
