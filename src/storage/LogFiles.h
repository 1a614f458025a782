#pragma once

#include "platform/FileSystem.h"
#include "storage/DailyBackup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ambrin {

class FileLocations;
class PartedLogRead;
class ProjectList;
class TimeLog;

// Why the files could not be saved: the file and the system's words.
struct SaveProblem {
    std::string path;
    std::string reason;
};

// A file that Ambrin keeps as it is instead of reading it: the person is told of it once.
struct FileSetAside {
    std::string path;
    std::string why;  // "could not be read", "holds no records"
};

// The program's own files: the current log and the project list, read at start and written
// after every change, with the day's copy of the log before its first save. They may change
// under us (a script, a spreadsheet, a sync engine): a change found before a save or while the
// program sits still is read back first, and the person's own change goes on top of it.
class LogFiles {
public:
    LogFiles(FileLocations& locations, TimeLog& log, ProjectList& projects);

    // Reads both files from the paths given (worked out by the caller, so that a reading
    // thread touches no settings and no environment). A file that exists but cannot be read,
    // or a log that holds no records, is kept aside: moved away before the first save instead
    // of being overwritten. The log is read through logRead, of logPath, when given: other
    // threads may take parts of it.
    void Load(const std::string& logPath, const std::string& listPath, PartedLogRead* logRead = nullptr);
    // The files kept aside at the last load, for the person to be told of.
    const std::vector<FileSetAside>& SetAside() const { return setAside_; }

    // Writes both files through the safe replacement. What could not be saved stays in memory
    // (Unsaved) and the old file stays whole; the caller shows the problem.
    std::optional<SaveProblem> Save(bool includeTotals);
    bool Unsaved() const { return unsaved_; }
    // Memory holds a change the files have not seen (an edited project list): a change found
    // on disk is joined to it, not put in its place.
    void MarkUnsaved() { unsaved_ = true; }

    // Whether either file is no longer the one last read or written here.
    bool ChangedOnDisk() const;
    // Reads the files again: they replace what memory holds, or, while changes wait unsaved,
    // join it (MergeLogs: nothing of either is lost). False when nothing changed or the file
    // could not be read.
    bool ReadAgain();
    // How many times the log was read back or merged into memory: a dialog that took a copy
    // of the log knows whether it still holds what the file held.
    std::uint64_t LogReads() const { return logReads_; }
    // The log file's records replace memory's, changed or not (the person chose the file's).
    bool TakeDiskLog();
    // The log on disk gives way to memory's whole (the Edit Log's OK over a changed file): it
    // is moved into Logs/Backups as it is, and the next save writes memory's. False when it
    // could not be moved; the next save then joins the two.
    bool ReplaceChangedLog(bool evenIfUnchanged = false);
    // Merges the conflict copies a sync engine left beside the log and the project list, and
    // moves each into Logs/Backups; the names of those merged. The caller saves.
    std::vector<std::string> MergeConflictCopies();

private:
    void MoveAsideUnreadable();
    void NoteStamps();

    FileLocations& locations_;
    TimeLog& log_;
    ProjectList& projects_;
    DailyBackup backup_;
    std::vector<FileSetAside> setAside_;
    bool logUnreadable_ = false;
    bool listUnreadable_ = false;
    bool unsaved_ = false;
    std::uint64_t logReads_ = 0;
    std::string logPath_, listPath_;  // as last read or written, with what they were then
    platform::FileStamp logStamp_, listStamp_;
};

}  // namespace ambrin
