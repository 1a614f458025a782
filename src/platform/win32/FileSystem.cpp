#include "platform/FileSystem.h"
#include "platform/TemporaryName.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <ios>
#include <random>

namespace ambrin::platform {

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string EnvironmentText(const char* name)
{
    char buffer[MAX_PATH * 4];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

}  // namespace

FileReadBuffer::~FileReadBuffer()
{
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool FileReadBuffer::Open(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<std::intptr_t>(file);
    LARGE_INTEGER size {};
    size_ = GetFileSizeEx(file, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    return true;
}

std::int64_t FileReadBuffer::ReadAt(std::uint64_t offset, char* s, std::size_t count) const
{
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), s, static_cast<DWORD>(count), &n, &at)) {
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return n;
}

std::streamsize FileReadBuffer::ReadSome(char* s, std::streamsize count)
{
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), s, static_cast<DWORD>(count), &n, nullptr)) {
        throw std::ios_base::failure("read error");  // the stream turns bad
    }
    return n;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::string HomeFolder()
{
    return EnvironmentText("USERPROFILE");
}

std::string ConfigFolder()
{
    return EnvironmentText("APPDATA");
}

std::string UserTag()
{
    char name[256];
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string("user");
}

std::string RuntimeFolder()
{
    char buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof buffer, buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string(".");
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string data;
    char buffer[65536];
    DWORD n = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &n, nullptr) != 0) && n > 0) data.append(buffer, n);
    CloseHandle(file);
    if (ok) bytes = std::move(data);
    return ok;
}

bool RenamePath(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string CanonicalPath(const std::string& path)
{
    char buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

void SyncFolder(const std::string& /*folder*/)
{
    // MOVEFILE_WRITE_THROUGH has made each move durable already.
}

namespace {

std::string ErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = n > 0 && text ? std::string(text, n) : std::string();
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
    return out;
}

}  // namespace

FileStamp StampOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
    const std::uint64_t written = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    return {true, (std::uint64_t{data.ftCreationTime.dwHighDateTime} << 32) | data.ftCreationTime.dwLowDateTime,
            (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow, static_cast<std::int64_t>(written) * 100};
}

bool LinkFile(const std::string& from, const std::string& to)
{
    return CreateHardLinkA(to.c_str(), from.c_str(), nullptr) != 0;
}

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes, FolderSync folderSync,
                                  std::string* reason)
{
    return ReplaceFileContents(path, [bytes](const PieceWriter& write) { return write(bytes); }, folderSync, reason);
}

ReplaceResult ReplaceFileContents(const std::string& path, const std::function<bool(const PieceWriter&)>& pieces,
                                  FolderSync /*folderSync*/, std::string* reason)
{
    const auto fail = [reason](ReplaceResult result) {
        if (reason) *reason = ErrorText(GetLastError());
        return result;
    };
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return fail(ReplaceResult::CannotCreate);
    }
    static std::mt19937 random(std::random_device{}());
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string temp = FolderOf(path) + "\\." + NameOf(path) + ".tmp-";
    for (int i = 0; i < 6; ++i) temp += kAlphabet[random() % 62];
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(ReplaceResult::CannotCreate);
    bool ok = pieces([file](std::string_view piece) {
        DWORD written = 0;
        return WriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) && written == piece.size();
    });
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        const DWORD error = GetLastError();
        DeleteFileA(temp.c_str());
        SetLastError(error);
        return fail(ReplaceResult::WriteFailed);
    }
    return ReplaceResult::Replaced;
}

void RemoveStaleTemporaries(const std::string& path)
{
    const std::string pattern = FolderOf(path) + "\\." + NameOf(path) + ".tmp-??????";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // FindFirstFileA's "?" also matches nothing at the end: check the name exactly.
        if (IsTemporaryOf(found.cFileName, NameOf(path))) {
            DeleteFileA((FolderOf(path) + "\\" + found.cFileName).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool OpenWithDefaultHandler(const std::string& path)
{
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string NamedLockPath(std::string_view name)
{
    return std::string(name);
}

NamedLock::NamedLock(std::string_view name)
{
    const std::string mutexName(name);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName.c_str());
    if (mutex) handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

NamedLock::~NamedLock()
{
    Release();
}

bool NamedLock::Held() const
{
    return handle_ != -1;
}

ExclusiveFileLock::ExclusiveFileLock(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        state_ = GetLastError() == ERROR_LOCK_VIOLATION ? State::HeldElsewhere : State::Unavailable;
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    state_ = State::Held;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

void NamedLock::Release()
{
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

}  // namespace ambrin::platform
