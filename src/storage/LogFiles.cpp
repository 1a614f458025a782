#include "storage/LogFiles.h"

#include "core/LogMerge.h"
#include "core/LogText.h"
#include "core/TimeLog.h"
#include "storage/ConflictCopies.h"
#include "storage/CsvLog.h"
#include "storage/FileLocations.h"
#include "storage/PartedLogRead.h"
#include "storage/ProjectList.h"

#include <cstdio>
#include <istream>

namespace ambrin {

namespace {

// Reads a file; false when it exists but could not be read.
template <typename Read>
bool ReadIfPresent(const std::string& path, Read&& read)
{
    platform::FileReadBuffer file;
    if (!file.Open(path)) return !platform::PathExists(path);
    std::istream in(&file);
    return read(in);
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

// Lines read, and not one with a time: random bytes, a UTF-16 file, a file of NULs.
bool HoldsNoRecords(const TimeLog& log)
{
    for (std::uint32_t i = 0; i < log.Count(); ++i) {
        if (!log.View(i).start.IsEmpty() || !log.View(i).end.IsEmpty()) return false;
    }
    return log.Count() > 0;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

LogFiles::LogFiles(FileLocations& locations, TimeLog& log, ProjectList& projects)
    : locations_(locations), log_(log), projects_(projects)
{
}

void LogFiles::Load(const std::string& logPath, const std::string& listPath, PartedLogRead* logRead)
{
    platform::RemoveStaleTemporaries(logPath);
    platform::RemoveStaleTemporaries(listPath);
    DailyBackup::RemoveStaleTemporaries(FolderOf(logPath));
    logPath_ = logPath;
    listPath_ = listPath;
    listUnreadable_ = !ReadIfPresent(listPath, [this](std::istream& in) { return projects_.ReadList(in); });
    if (listUnreadable_) setAside_.push_back({listPath, "could not be read"});
    TimeLog read;
    const bool ok = logRead ? logRead->Finish(read) : ReadCsvFile(read, logPath);
    if (ok && HoldsNoRecords(read)) {
        logUnreadable_ = true;
        setAside_.push_back({logPath, "holds no records Ambrin can read"});
    } else if (ok) {
        log_ = std::move(read);
    } else if (platform::PathExists(logPath)) {
        logUnreadable_ = true;
        setAside_.push_back({logPath, "could not be read"});
    }
    NoteStamps();
}

void LogFiles::NoteStamps()
{
    logStamp_ = platform::StampOf(logPath_);
    listStamp_ = platform::StampOf(listPath_);
}

void LogFiles::MoveAsideUnreadable()
{
    if (logUnreadable_) logUnreadable_ = !platform::RenamePath(logPath_, AsidePath(logPath_));
    if (listUnreadable_) listUnreadable_ = !platform::RenamePath(listPath_, AsidePath(listPath_));
}

bool LogFiles::ChangedOnDisk() const
{
    return platform::StampOf(logPath_) != logStamp_ || platform::StampOf(listPath_) != listStamp_;
}

std::optional<SaveProblem> LogFiles::Save(bool includeTotals)
{
    const std::string folder = locations_.LogFolder();
    std::string logPath = folder;
    JoinPath(logPath, kCurrentLogName);
    std::string listPath = folder;
    JoinPath(listPath, kProjectListName);
    if (logPath != logPath_ || listPath != listPath_) {
        // The application folder moved: what is there now is read with ours, not overwritten.
        logPath_ = logPath;
        listPath_ = listPath;
        logStamp_ = listStamp_ = {};
    }
    // A change made in the moment since the files were last read back joins ours.
    if (ChangedOnDisk()) {
        const bool waiting = unsaved_;
        unsaved_ = true;
        ReadAgain();
        unsaved_ = waiting;
    }
    MoveAsideUnreadable();
    if (!logUnreadable_) backup_.BeforeSave(folder, logPath);

    std::optional<SaveProblem> problem;
    std::string reason;
    using platform::FolderSync;
    using platform::ReplaceResult;
    if (listUnreadable_) {
        problem = SaveProblem{listPath, "the file could not be read, and could not be moved aside"};
    } else if (platform::ReplaceFileContents(listPath, projects_.Text(), FolderSync::Later, &reason) != ReplaceResult::Replaced) {
        problem = SaveProblem{listPath, reason};
    } else {
        listStamp_ = platform::StampOf(listPath);
    }
    const auto logText = [this, includeTotals](const platform::PieceWriter& write) {
        return WriteLogPieces(log_, includeTotals, write);
    };
    if (logUnreadable_) {
        problem = SaveProblem{logPath, "the file could not be read, and could not be moved aside"};
    } else if (platform::ReplaceFileContents(logPath, logText, FolderSync::Later, &reason) != ReplaceResult::Replaced) {
        problem = SaveProblem{logPath, reason};
    } else {
        logStamp_ = platform::StampOf(logPath);
    }
    platform::SyncFolder(folder);
    unsaved_ = problem.has_value();
    return problem;
}

bool LogFiles::ReadAgain()
{
    if (!ChangedOnDisk()) return false;
    bool read = false;
    // A file gone is written again at the next save, from memory: it is not read as empty.
    if (platform::PathExists(logPath_)) {
        TimeLog disk;
        if (!ReadCsvFile(disk, logPath_) || HoldsNoRecords(disk)) {
            logUnreadable_ = true;  // kept aside at the next save, never overwritten
            setAside_.push_back({logPath_, "could not be read"});
        } else {
            if (unsaved_) MergeLogs(log_, disk);
            else log_ = std::move(disk);
            ++logReads_;
            read = true;
        }
    }
    ProjectList names;
    if (platform::PathExists(listPath_) &&
        ReadIfPresent(listPath_, [&names](std::istream& in) { return names.ReadList(in); })) {
        // The file's names in its order; ours not in it follow, while they wait to be saved.
        if (unsaved_) {
            for (std::uint32_t i = 0; i < projects_.Count(); ++i) names.AddName(projects_.At(i));
        }
        projects_ = std::move(names);
        read = true;
    }
    NoteStamps();
    return read;
}

bool LogFiles::TakeDiskLog()
{
    TimeLog disk;
    if (!platform::PathExists(logPath_) || !ReadCsvFile(disk, logPath_) || HoldsNoRecords(disk)) return false;
    log_ = std::move(disk);
    ++logReads_;
    logStamp_ = platform::StampOf(logPath_);
    return true;
}

bool LogFiles::ReplaceChangedLog(bool evenIfUnchanged)
{
    if (!evenIfUnchanged && platform::StampOf(logPath_) == logStamp_) return true;
    if (platform::PathExists(logPath_) && !DailyBackup::MoveInto(FolderOf(logPath_), logPath_)) return false;
    logStamp_ = platform::StampOf(logPath_);
    return true;
}

std::vector<std::string> LogFiles::MergeConflictCopies()
{
    const std::string folder = FolderOf(logPath_);
    std::vector<std::string> merged;
    for (const std::string& name : ConflictCopiesIn(folder, "current log", ".csv")) {
        std::string path = folder;
        JoinPath(path, name);
        TimeLog copy;
        if (!ReadCsvFile(copy, path)) continue;  // left where it is, as it is
        MergeLogs(log_, copy);
        ++logReads_;
        if (DailyBackup::MoveInto(folder, path)) merged.push_back(name);
        unsaved_ = true;
    }
    for (const std::string& name : ConflictCopiesIn(folder, "projects", ".txt")) {
        std::string path = folder;
        JoinPath(path, name);
        ProjectList copy;
        if (!ReadIfPresent(path, [&copy](std::istream& in) { return copy.ReadList(in); })) continue;
        for (std::uint32_t i = 0; i < copy.Count(); ++i) projects_.AddName(copy.At(i));
        if (DailyBackup::MoveInto(folder, path)) merged.push_back(name);
        unsaved_ = true;
    }
    return merged;
}

}  // namespace ambrin
