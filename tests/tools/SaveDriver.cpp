// Saves two versions of a large log and project list over and over, exactly as the strip
// saves them, until it is killed. Writes "<home>/saving" when its saves begin and
// "<home>/ready" once both versions are on disk.
#include "core/TimeLog.h"
#include "platform/FileSystem.h"
#include "storage/FileLocations.h"
#include "storage/LogFiles.h"
#include "storage/ProjectList.h"
#include "support/KillTestData.h"

#include <fstream>

int main()
{
    ambrin::FileLocations locations;
    ambrin::TimeLog log;
    ambrin::ProjectList projects;
    ambrin::LogFiles files(locations, log, projects);
    files.Load(locations.CurrentLogPath(), locations.ProjectListPath());
    ambrin::test::FillKillTestVersion(0, log, projects);  // the data is made before saving
    std::ofstream(ambrin::platform::HomeFolder() + "/saving") << "saving";
    bool ready = false;
    for (int version = 0;; version = 1 - version) {
        ambrin::test::FillKillTestVersion(version, log, projects);
        files.Save(version == 1);
        if (!ready && version == 1) {
            std::ofstream(ambrin::platform::HomeFolder() + "/ready") << "ready";
            ready = true;
        }
    }
}
