#pragma once

#include "core/ClockTime.h"

#include <cstdint>
#include <string>

namespace ambrin {

class FileLocations;
class PartedLogRead;
class ProjectList;
class TimeLog;

// The program's own files: the current log and the project list, read at start and written
// after every change, and a copy of the log kept each day before its first save.
class LogFiles {
public:
    LogFiles(FileLocations& locations, TimeLog& log, ProjectList& projects);

    // Reads both files from the paths given (worked out by the caller, so that a reading
    // thread touches no settings and no environment). One that exists but cannot be read is
    // remembered, and moved aside before the first save instead of being overwritten. The
    // log is read through logRead, of logPath, when given: other threads may take parts of it.
    void Load(const std::string& logPath, const std::string& listPath, PartedLogRead* logRead = nullptr);
    // Writes both files through the safe replacement; silent, as automatic work is.
    void Save(bool includeTotals);

    bool LogUnreadable() const { return logUnreadable_; }
    bool ListUnreadable() const { return listUnreadable_; }

    static constexpr int kBackupsKept = 30;
    static constexpr const char* kBackupFolder = "Backups";
    // "current log 2026-12-06.csv"
    static std::string BackupName(ClockTime day);

private:
    void MoveAsideUnreadable();
    void KeepDailyBackup();

    FileLocations& locations_;
    TimeLog& log_;
    ProjectList& projects_;
    std::string encoded_;  // the log's bytes at the last save; its memory serves the next
    bool logUnreadable_ = false;
    bool listUnreadable_ = false;
    std::uint64_t backupDay_ = ~std::uint64_t{0};  // the day whose copy is kept
};

}  // namespace ambrin
