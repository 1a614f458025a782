#pragma once

#include <cstdint>
#include <streambuf>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrin::platform {

// Reads a file through a stream. A read error makes the stream bad instead of looking like
// the end of the file, so callers can tell a damaged file from a short one: the buffer throws,
// and the stream reading through it catches that and turns bad. Use it through a stream only.
class FileReadBuffer : public std::streambuf {
public:
    FileReadBuffer() = default;
    ~FileReadBuffer() override;
    FileReadBuffer(const FileReadBuffer&) = delete;
    FileReadBuffer& operator=(const FileReadBuffer&) = delete;
    // False when the path names no file that can be opened for reading (a folder is none).
    bool Open(const std::string& path);
    // The file's size when it was opened.
    std::uint64_t Size() const { return size_; }
    // Reads up to count bytes from offset, whatever the stream's position: the bytes read,
    // 0 at the end of the file, -1 on a read error. Several threads may call it at once.
    std::int64_t ReadAt(std::uint64_t offset, char* s, std::size_t count) const;

protected:
    int_type underflow() override;

private:
    // The bytes read into s, 0 at the end; throws on a read error.
    std::streamsize ReadSome(char* s, std::streamsize count);
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
    char buffer_[64 * 1024];
};

// The file system operations the program uses; paths are byte strings.
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates one folder level; false when it could not be made (nothing is reported).
bool MakeFolder(const std::string& path);
// The user's home folder ($HOME, else the password database); empty when unknown.
std::string HomeFolder();
// The per-user configuration folder: $XDG_CONFIG_HOME, else $HOME/.config.
std::string ConfigFolder();
// Names the user running the program (the uid, or the Windows user name), for per-user names.
std::string UserTag();
// Where per-user runtime files (locks) live: $XDG_RUNTIME_DIR, else the temp folder.
std::string RuntimeFolder();
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool RenamePath(const std::string& from, const std::string& to);
// The names in a folder ("." and ".." left out); empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& path);
// The path with links and "." and ".." resolved; the path itself when that fails.
std::string CanonicalPath(const std::string& path);
bool RemoveFile(const std::string& path);

enum class ReplaceResult {
    Replaced,
    CannotCreate,  // no temporary file could be made, or the target may not be written
    WriteFailed,   // writing, syncing or moving it over the target failed
};

// Writes bytes to a temporary ".<name>.tmp-<random>" beside the target, syncs it, renames
// it over the target and syncs the folder. The target is left whole on any failure; a
// symbolic link is replaced where it points; the old file's permissions are kept.
// A caller replacing several files in one folder may sync the folder once, after the last.
enum class FolderSync { Now, Later };
// reason, when given, receives the system's words for a failure ("No space left on device").
ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes,
                                  FolderSync folderSync = FolderSync::Now, std::string* reason = nullptr);
// The same with the bytes made a piece at a time: pieces calls write with each, in order, and
// returns false when write refused one. A large file is never held whole in memory.
using PieceWriter = std::function<bool(std::string_view)>;
ReplaceResult ReplaceFileContents(const std::string& path, const std::function<bool(const PieceWriter&)>& pieces,
                                  FolderSync folderSync = FolderSync::Now, std::string* reason = nullptr);
// Makes the renames in a folder durable.
void SyncFolder(const std::string& folder);

// What tells one version of a file from another: which file it is, its size and when it last
// changed. Equal stamps: the same file as it was.
struct FileStamp {
    bool exists = false;
    std::uint64_t id = 0;
    std::uint64_t size = 0;
    std::int64_t changedNanoseconds = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp StampOf(const std::string& path);

// Gives the file at from a second name, to (a hard link): the bytes are not copied. False where
// the file system has no such links, or to exists.
bool LinkFile(const std::string& from, const std::string& to);

// Removes leftover temporaries of ReplaceFileContents for that target (a crash mid-save).
void RemoveStaleTemporaries(const std::string& path);

// Opens a file with the desktop's default handler; false when it does not exist or the
// handler cannot be started.
bool OpenWithDefaultHandler(const std::string& path);

// A named, per-user lock object held while the program runs; nothing waits on it.
class NamedLock {
public:
    explicit NamedLock(std::string_view name);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;
    bool Held() const;
    void Release();

private:
    std::intptr_t handle_ = -1;
};

std::string NamedLockPath(std::string_view name);

// An exclusive lock on a file, held while the object lives and released by the system when
// the process dies, so a crash leaves no stale lock.
class ExclusiveFileLock {
public:
    enum class State { Held, HeldElsewhere, Unavailable };

    // A lock file that exists but may not be opened (another user's) is held elsewhere.
    explicit ExclusiveFileLock(const std::string& path);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;
    State Status() const { return state_; }
    // Held elsewhere: the name of the user the lock file belongs to, when known.
    const std::string& Owner() const { return owner_; }

private:
    std::intptr_t handle_ = -1;
    State state_ = State::Unavailable;
    std::string owner_;
};

}  // namespace ambrin::platform
