#pragma once

#include "core/TimeLog.h"
#include "storage/CsvLog.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"

#include <future>
#include <memory>

namespace ambrin {

class LogFiles;
class SingleInstance;

// Owns the data every window works on: the log, the project names and the application
// folder text. Windows borrow them for the whole run.
class App {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    TimeLog& Log() { return log_; }
    ProjectList& Projects() { return projects_; }
    FileLocations& Locations() { return locations_; }

    // Starts reading the log and the project list on a worker thread, so that they are read
    // while the windows are being made. Nothing else may touch the log, the project list or
    // the locations until LoadFiles returns. Call it once this copy holds its log folder.
    void BeginLoading();
    // The files read by BeginLoading, waiting for them; or, without one pending, read now.
    std::unique_ptr<LogFiles> LoadFiles();

    // Shows the strip and runs until it is closed; instance brings it forward when asked.
    int Run(SingleInstance& instance);

private:
    std::unique_ptr<LogFiles> ReadFiles(LogReadHelp* help);

    TimeLog log_;
    ProjectList projects_;
    FileLocations locations_;
    std::future<std::unique_ptr<LogFiles>> loading_;
    LogReadHelp readHelp_;  // the window thread joins the loading once its windows are made
};

}  // namespace ambrin
