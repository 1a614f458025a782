#include "platform/StartAtLogin.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace ambrin::platform {

namespace {

std::string EntryPath()
{
    const std::string config = ConfigFolder();
    return config.empty() ? std::string() : config + "/autostart/ambrin.desktop";
}

// A desktop entry's Exec value: the path quoted, its own quotes and backslashes escaped.
std::string ExecValue(const std::string& program)
{
    std::string quoted = "\"";
    for (const char c : program) {
        if (c == '"' || c == '\\' || c == '`' || c == '$') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

bool StartsAtLogin()
{
    const std::string path = EntryPath();
    return !path.empty() && PathExists(path);
}

bool SetStartAtLogin(bool on, const std::string& program, std::string& reason)
{
    const std::string path = EntryPath();
    if (path.empty()) {
        reason = "there is no home folder";
        return false;
    }
    if (!on) {
        if (std::remove(path.c_str()) == 0 || errno == ENOENT) return true;
        reason = std::strerror(errno);
        return false;
    }
    mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
    const std::string entry = "[Desktop Entry]\nType=Application\nName=Ambrin\nComment=Track the time you spend on each project\n"
                              "Exec=" + ExecValue(program) + "\nIcon=ambrin\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    return ReplaceFileContents(path, entry, FolderSync::Now, &reason) == ReplaceResult::Replaced;
}

}  // namespace ambrin::platform
