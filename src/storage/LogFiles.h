#pragma once

#include "core/ClockTime.h"
#include "storage/CsvLog.h"

#include <cstdint>
#include <string>

namespace ambrin {

class FileLocations;
class ProjectList;
class TimeLog;

// The program's own files: the current log and the project list, read at start and written
// after every change, and a copy of the log kept each day before its first save.
class LogFiles {
public:
    LogFiles(FileLocations& locations, TimeLog& log, ProjectList& projects);

    // Reads both files. One that exists but cannot be read is remembered, and moved aside
    // before the first save instead of being overwritten. With help, other threads may join
    // the reading of a large log.
    void Load(LogReadHelp* help = nullptr);
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
    ByteBuffer encoded_;  // the log's bytes at the last save, its memory kept for the next
    bool logUnreadable_ = false;
    bool listUnreadable_ = false;
    std::uint64_t backupDay_ = ~std::uint64_t{0};
};

}  // namespace ambrin
