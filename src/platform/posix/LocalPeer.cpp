#include "platform/LocalPeer.h"

#include "platform/FileSystem.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace ambrin::platform {

namespace {

// A directory of ours that nobody else may enter or change.
bool IsPrivateFolder(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace

std::string PrivateSocketFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsPrivateFolder(runtime)) return runtime;
    const char* temp = std::getenv("TMPDIR");
    const std::string folder = std::string(temp && *temp ? temp : "/tmp") + "/ambrin-" + UserTag();
    mkdir(folder.c_str(), 0700);  // an existing one is checked as any other
    return IsPrivateFolder(folder) ? folder : std::string();
}

bool PeerIsThisUser(std::intptr_t socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

}  // namespace ambrin::platform
