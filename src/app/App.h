#pragma once

#include "core/TimeLog.h"
#include "storage/FileLocations.h"
#include "storage/ProjectList.h"

#include <future>
#include <memory>

namespace ambrin {

class LogFiles;
class PartedLogRead;
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
    // while the windows are being made. The paths are worked out here, on the calling thread:
    // the reader touches neither the settings nor the environment, which Qt changes as it
    // starts. Nothing else may touch the log or the project list until LoadFiles returns.
    void BeginLoading();
    // The files read by BeginLoading, once read (this thread reads the parts of the log still
    // left); or, without one pending, read now.
    std::unique_ptr<LogFiles> LoadFiles();

    // Shows the strip and runs until it is closed; instance brings it forward when asked.
    int Run(SingleInstance& instance);

private:
    std::unique_ptr<LogFiles> ReadFiles(const std::string& logPath, const std::string& listPath,
                                        PartedLogRead* logRead);

    TimeLog log_;
    ProjectList projects_;
    FileLocations locations_;
    std::unique_ptr<PartedLogRead> logRead_;
    std::future<std::unique_ptr<LogFiles>> loading_;
};

}  // namespace ambrin
