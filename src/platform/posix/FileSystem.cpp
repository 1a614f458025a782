#include "platform/FileSystem.h"
#include "platform/TemporaryName.h"

#include <algorithm>
#include <cerrno>
#include <ios>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace ambrin::platform {

namespace {

std::string EnvironmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links (dangling ones too) to the path that is really written.
std::string ResolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n <= 0) return path;
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
    }
    return path;
}

std::string RandomSuffix()
{
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    std::string suffix;
    for (std::size_t i = 0; i < kTemporaryRandomLength; ++i) suffix += kAlphabet[random() % 62];
    return suffix;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::vector<pid_t>& LaunchedChildren()
{
    static std::vector<pid_t> children;
    return children;
}

void ReapFinishedChildren()
{
    auto& children = LaunchedChildren();
    std::erase_if(children, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

// The login name of a user, or the number when there is none.
std::string UserName(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

}  // namespace

FileReadBuffer::~FileReadBuffer()
{
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

bool FileReadBuffer::Open(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {  // a folder opens here, but is no file
        close(fd);
        return false;
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::int64_t FileReadBuffer::ReadAt(std::uint64_t offset, char* s, std::size_t count) const
{
    for (;;) {
        const ssize_t n = pread(static_cast<int>(handle_), s, count, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::streamsize FileReadBuffer::ReadSome(char* s, std::streamsize count)
{
    for (;;) {
        const ssize_t n = read(static_cast<int>(handle_), s, static_cast<std::size_t>(count));
        if (n >= 0) return n;
        if (errno != EINTR) throw std::ios_base::failure("read error");  // the stream turns bad
    }
}

void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

std::string HomeFolder()
{
    std::string home = EnvironmentText("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    return {};
}

std::string ConfigFolder()
{
    std::string folder = EnvironmentText("XDG_CONFIG_HOME");
    if (!folder.empty() && folder.front() == '/') return folder;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

std::string UserTag()
{
    return std::to_string(getuid());
}

std::string RuntimeFolder()
{
    std::string folder = EnvironmentText("XDG_RUNTIME_DIR");
    if (!folder.empty() && IsDirectory(folder)) return folder;
    folder = EnvironmentText("TMPDIR");
    return !folder.empty() && IsDirectory(folder) ? folder : std::string("/tmp");
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string data;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    if (ok) bytes = std::move(data);
    return ok;
}

bool RenamePath(const std::string& from, const std::string& to)
{
    return rename(from.c_str(), to.c_str()) == 0;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    closedir(dir);
    return names;
}

std::string CanonicalPath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string canonical = resolved;
    std::free(resolved);
    return canonical;
}

bool RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes, FolderSync folderSync,
                                  std::string* reason)
{
    return ReplaceFileContents(path, [bytes](const PieceWriter& write) { return write(bytes); }, folderSync, reason);
}

ReplaceResult ReplaceFileContents(const std::string& path, const std::function<bool(const PieceWriter&)>& pieces,
                                  FolderSync folderSync, std::string* reason)
{
    const auto fail = [reason](ReplaceResult result, int error) {
        if (reason) *reason = std::strerror(error);
        return result;
    };
    const std::string target = ResolveLinks(path);
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        // A file we may not write, or one marked read-only (even for root), is not
        // replaced behind the user's back.
        if (!S_ISREG(st.st_mode)) return fail(ReplaceResult::CannotCreate, EISDIR);
        if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return fail(ReplaceResult::CannotCreate, EACCES);
        mode = st.st_mode & 07777;
        keepMode = true;
    }

    const std::string folder = FolderOf(target);
    const std::string temp =
        folder + "/." + NameOf(target) + std::string(kTemporaryMarker) + RandomSuffix();
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return fail(ReplaceResult::CannotCreate, errno);
    if (keepMode) fchmod(fd, mode);

    int error = 0;
    errno = 0;
    bool ok = pieces([fd](std::string_view piece) { return WriteAll(fd, piece); }) && fsync(fd) == 0;
    if (!ok) error = errno != 0 ? errno : EIO;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        return fail(ReplaceResult::WriteFailed, error);
    }
    if (folderSync == FolderSync::Now) SyncFolder(folder);
    return ReplaceResult::Replaced;
}

FileStamp StampOf(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    return {true, static_cast<std::uint64_t>(st.st_ino) ^ (static_cast<std::uint64_t>(st.st_dev) << 40),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

bool LinkFile(const std::string& from, const std::string& to)
{
    return link(from.c_str(), to.c_str()) == 0;
}

void RemoveStaleTemporaries(const std::string& path)
{
    const std::string target = ResolveLinks(path);
    const std::string folder = FolderOf(target);
    const std::string name = NameOf(target);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(dir)) {
        if (IsTemporaryOf(entry->d_name, name)) stale.push_back(folder + "/" + entry->d_name);
    }
    closedir(dir);
    for (const std::string& file : stale) unlink(file.c_str());
}

bool OpenWithDefaultHandler(const std::string& path)
{
    ReapFinishedChildren();
    if (!PathExists(path)) return false;
    char program[] = "xdg-open";
    std::string argument = path;
    char* argv[] = {program, argument.data(), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, program, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) return false;
    LaunchedChildren().push_back(pid);
    return true;
}

std::string NamedLockPath(std::string_view name)
{
    return RuntimeFolder() + "/" + std::string(name) + "-" + UserTag() + ".lock";
}

NamedLock::NamedLock(std::string_view name)
{
    const int fd = open(NamedLockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    // Shared: every program of the maker may hold it at once; nothing waits on it.
    flock(fd, LOCK_SH | LOCK_NB);
    handle_ = fd;
}

NamedLock::~NamedLock()
{
    Release();
}

bool NamedLock::Held() const
{
    return handle_ >= 0;
}

ExclusiveFileLock::ExclusiveFileLock(const std::string& path)
{
    // Readable by all, so that another user on a shared folder sees the lock instead of a file
    // it may not open; a lock taken on a file opened for reading holds all the same.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) fchmod(fd, 0644);  // whatever the umask: a private lock would read as in use for ever
    if (fd < 0 && (errno == EACCES || errno == EPERM)) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        struct stat st {};
        if ((errno == EACCES || errno == EPERM) && stat(path.c_str(), &st) == 0) {
            state_ = State::HeldElsewhere;  // another user's, and we may not look: in use
            owner_ = UserName(st.st_uid);
        }
        return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        state_ = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
        struct stat st {};
        if (state_ == State::HeldElsewhere && fstat(fd, &st) == 0 && st.st_uid != getuid()) owner_ = UserName(st.st_uid);
        close(fd);
        return;
    }
    handle_ = fd;
    state_ = State::Held;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

void NamedLock::Release()
{
    if (handle_ >= 0) close(static_cast<int>(handle_));
    handle_ = -1;
}

}  // namespace ambrin::platform
