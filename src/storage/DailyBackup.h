#pragma once

#include "core/ClockTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ambrin {

// What Logs/Backups keeps: the log as it was before each day's first save ("current log
// 2026-12-06.csv", the newest 30), and files put aside there whole (a log the Edit Log
// replaced, a sync engine's conflict copy once merged).
class DailyBackup {
public:
    static constexpr int kKept = 30;
    static constexpr const char* kFolder = "Backups";

    // Before a save: the day's copy of the log, unless the day has one. A copy that could not be
    // made is tried again at the next save. The copy is a second name for the log's file where
    // the file system allows (the save then puts a new file in its place): nothing is copied.
    void BeforeSave(const std::string& logFolder, const std::string& logPath);

    // "current log 2026-12-06.csv"
    static std::string Name(ClockTime day);
    // Moves the file at path into the backups folder under its own name (a time added when the
    // name is taken); false when it could not be moved.
    static bool MoveInto(const std::string& logFolder, const std::string& path);
    // Removes what a copy killed mid-save left in the backups folder.
    static void RemoveStaleTemporaries(const std::string& logFolder);

private:
    std::uint64_t day_ = ~std::uint64_t{0};  // the day whose copy is kept
};

}  // namespace ambrin
