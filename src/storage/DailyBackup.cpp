#include "storage/DailyBackup.h"

#include "platform/FileSystem.h"
#include "platform/TemporaryName.h"
#include "storage/FileLocations.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace ambrin {

namespace {

std::string BackupFolder(const std::string& logFolder)
{
    std::string folder = logFolder;
    JoinPath(folder, DailyBackup::kFolder);
    return folder;
}

bool IsBackupName(std::string_view name)
{
    // "current log YYYY-MM-DD.csv"
    constexpr std::string_view kPrefix = "current log ";
    if (name.size() != kPrefix.size() + 14 || name.substr(0, kPrefix.size()) != kPrefix) return false;
    if (name.substr(name.size() - 4) != ".csv") return false;
    const std::string_view date = name.substr(kPrefix.size(), 10);
    for (std::size_t i = 0; i < date.size(); ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? date[i] != '-' : (date[i] < '0' || date[i] > '9')) return false;
    }
    return true;
}

bool CopyFile(const std::string& from, const std::string& to)
{
    std::string bytes;
    return platform::ReadWholeFile(from, bytes) &&
           platform::ReplaceFileContents(to, bytes) == platform::ReplaceResult::Replaced;
}

}  // namespace

std::string DailyBackup::Name(ClockTime day)
{
    const CalendarFields f = day.Fields();
    char text[32];
    std::snprintf(text, sizeof text, "current log %04u-%02u-%02u.csv", f.year % 10000u, f.month % 100u, f.day % 100u);
    return text;
}

void DailyBackup::BeforeSave(const std::string& logFolder, const std::string& logPath)
{
    const ClockTime now = ClockTime::Now();
    const std::uint64_t day = now.Ticks() / kTicksPerDay;
    if (day == day_) return;
    const std::string folder = BackupFolder(logFolder);
    std::string backup = folder;
    JoinPath(backup, Name(now));
    // The day counts as done once its copy is there (or there was no log to copy); a restart on
    // the same day keeps the copy it finds.
    if (!platform::PathExists(logPath) || platform::PathExists(backup)) {
        day_ = day;
        return;
    }
    if (!platform::IsDirectory(folder)) platform::MakeFolder(folder);
    if (platform::LinkFile(logPath, backup)) {
        platform::SyncFolder(folder);
    } else if (!CopyFile(logPath, backup)) {
        return;
    }
    day_ = day;

    std::vector<std::string> backups = platform::ListFolder(folder);
    std::erase_if(backups, [](const std::string& name) { return !IsBackupName(name); });
    std::sort(backups.begin(), backups.end());
    for (std::size_t i = 0; i + kKept < backups.size(); ++i) {
        std::string old = folder;
        JoinPath(old, backups[i]);
        platform::RemoveFile(old);
    }
}

bool DailyBackup::MoveInto(const std::string& logFolder, const std::string& path)
{
    const std::string folder = BackupFolder(logFolder);
    if (!platform::IsDirectory(folder)) platform::MakeFolder(folder);
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string target = folder;
    JoinPath(target, name);
    for (int n = 2; platform::PathExists(target) && n < 1000; ++n) {
        target = folder;
        JoinPath(target, name + " (" + std::to_string(n) + ")");
    }
    return !platform::PathExists(target) && platform::RenamePath(path, target);
}

void DailyBackup::RemoveStaleTemporaries(const std::string& logFolder)
{
    // ".current log 2026-12-06.csv.tmp-AbC123": a day's copy that a killed save left half made.
    const std::string folder = BackupFolder(logFolder);
    for (const std::string& entry : platform::ListFolder(folder)) {
        const std::size_t marker = entry.rfind(platform::kTemporaryMarker);
        if (entry.empty() || entry[0] != '.' || marker == std::string::npos) continue;
        const std::string_view target = std::string_view(entry).substr(1, marker - 1);
        if (!IsBackupName(target) || !platform::IsTemporaryOf(entry, target)) continue;
        std::string stale = folder;
        JoinPath(stale, entry);
        platform::RemoveFile(stale);
    }
}

}  // namespace ambrin
