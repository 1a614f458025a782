#pragma once

#include "core/TimeLog.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"

namespace ambrin {

class SingleInstance;

// Owns the data every window works on: the log, the project names and the application
// folder text. Windows borrow them for the whole run.
class App {
public:
    TimeLog& Log() { return log_; }
    ProjectList& Projects() { return projects_; }
    FileLocations& Locations() { return locations_; }

    // Shows the strip and runs until it is closed; instance brings it forward when asked.
    int Run(SingleInstance& instance);

private:
    TimeLog log_;
    ProjectList projects_;
    FileLocations locations_;
};

}  // namespace ambrin
