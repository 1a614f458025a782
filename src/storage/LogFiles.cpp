#include "storage/LogFiles.h"

#include "core/LogText.h"
#include "core/TimeLog.h"
#include "platform/FileSystem.h"
#include "storage/CsvLog.h"
#include "storage/FileLocations.h"
#include "storage/PartedLogRead.h"
#include "storage/ProjectList.h"

#include <algorithm>
#include <cstdio>
#include <istream>

namespace ambrin {

namespace {

// Reads a file at start-up; false when it exists but could not be read.
template <typename Read>
bool LoadIfPresent(const std::string& path, Read&& read)
{
    platform::FileReadBuffer file;
    if (!file.Open(path)) return !platform::PathExists(path);
    std::istream in(&file);
    return read(in);
}

std::string DateText(ClockTime value)
{
    const CalendarFields f = value.Fields();
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", f.year % 10000u, f.month % 100u, f.day % 100u);
    return text;
}

// "current log.csv" becomes "current log.csv.unreadable-20261206-091500".
std::string AsidePath(const std::string& path)
{
    const CalendarFields f = ClockTime::Now().Fields();
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, ".unreadable-%04u%02u%02u-%02u%02u%02u", f.year % 10000u,
                  f.month % 100u, f.day % 100u, f.hour % 100u, f.minute % 100u, f.second % 100u);
    return path + stamp;
}

bool IsBackupName(const std::string& name)
{
    // "current log YYYY-MM-DD.csv"
    const std::string prefix = "current log ";
    if (name.size() != prefix.size() + 14 || name.compare(0, prefix.size(), prefix) != 0) return false;
    if (name.compare(name.size() - 4, 4, ".csv") != 0) return false;
    const std::string date = name.substr(prefix.size(), 10);
    for (std::size_t i = 0; i < date.size(); ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? date[i] != '-' : (date[i] < '0' || date[i] > '9')) return false;
    }
    return true;
}

}  // namespace

LogFiles::LogFiles(FileLocations& locations, TimeLog& log, ProjectList& projects)
    : locations_(locations), log_(log), projects_(projects)
{
}

std::string LogFiles::BackupName(ClockTime day)
{
    return "current log " + DateText(day) + ".csv";
}

void LogFiles::Load(const std::string& logPath, const std::string& listPath, PartedLogRead* logRead)
{
    platform::RemoveStaleTemporaries(logPath);
    platform::RemoveStaleTemporaries(listPath);
    listUnreadable_ = !LoadIfPresent(listPath, [this](std::istream& in) { return projects_.ReadList(in); });
    const bool read = logRead ? logRead->Finish(log_) : ReadCsvFile(log_, logPath);
    logUnreadable_ = !read && platform::PathExists(logPath);
}

void LogFiles::MoveAsideUnreadable()
{
    if (logUnreadable_) {
        const std::string path = locations_.CurrentLogPath();
        logUnreadable_ = !platform::RenamePath(path, AsidePath(path));
    }
    if (listUnreadable_) {
        const std::string path = locations_.ProjectListPath();
        listUnreadable_ = !platform::RenamePath(path, AsidePath(path));
    }
}

void LogFiles::KeepDailyBackup()
{
    const ClockTime now = ClockTime::Now();
    const std::uint64_t day = now.Ticks() / kTicksPerDay;
    if (day == backupDay_ || logUnreadable_) return;
    const std::string logPath = locations_.CurrentLogPath();
    std::string folder = locations_.LogFolder();
    JoinPath(folder, kBackupFolder);
    std::string backup = folder;
    JoinPath(backup, BackupName(now));
    // The day's copy holds the log as it was before the day's first save; a restart on the
    // same day keeps it. The day counts as done only once its copy is there (or there was no
    // log to copy): a copy that failed is tried again at the next save.
    if (!platform::PathExists(logPath) || platform::PathExists(backup)) {
        backupDay_ = day;
        return;
    }
    if (!platform::IsDirectory(folder)) platform::MakeFolder(folder);
    std::string bytes;
    if (!platform::ReadWholeFile(logPath, bytes)) return;
    if (platform::ReplaceFileContents(backup, bytes) != platform::ReplaceResult::Replaced) return;
    backupDay_ = day;

    std::vector<std::string> backups = platform::ListFolder(folder);
    std::erase_if(backups, [](const std::string& name) { return !IsBackupName(name); });
    std::sort(backups.begin(), backups.end());
    for (std::size_t i = 0; i + kBackupsKept < backups.size(); ++i) {
        std::string old = folder;
        JoinPath(old, backups[i]);
        platform::RemoveFile(old);
    }
}

void LogFiles::Save(bool includeTotals)
{
    MoveAsideUnreadable();
    KeepDailyBackup();
    // Both files, then one sync of their folder makes both renames durable.
    using platform::FolderSync;
    if (!listUnreadable_) {
        platform::ReplaceFileContents(locations_.ProjectListPath(), projects_.Text(), FolderSync::Later);
    }
    if (!logUnreadable_) {
        encoded_.clear();
        AppendLogText(encoded_, log_, includeTotals);
        platform::ReplaceFileContents(locations_.CurrentLogPath(), encoded_, FolderSync::Later);
    }
    platform::SyncFolder(locations_.LogFolder());
}

}  // namespace ambrin
