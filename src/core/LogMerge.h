#pragma once

namespace ambrin {

class TimeLog;

// Puts the records of other into log, for two copies of one log that went their own ways (two
// machines through a synced folder, a file changed while unsaved changes waited). Nothing is
// lost: every record of either is kept, a record present in both once, and a running record
// once its ended version is there (the same start, project and notes) gives way to it. The
// result is in time order (by start, then ended before running, end, project, notes), so it
// is the same whichever log comes first, and a running record of the latest start is last.
void MergeLogs(TimeLog& log, const TimeLog& other);

}  // namespace ambrin
