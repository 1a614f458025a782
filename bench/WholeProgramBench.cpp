// The program as a user meets it, at 1,000 to 1,000,000 records: start-up from process start
// to the strip shown with the log loaded, and peak memory, each against the same program with
// an empty log. The strip listens on its local socket right after it is shown, so the first
// successful connection marks the end of start-up.
#include "app/SingleInstance.h"
#include "storage/FileLocations.h"
#include "support/LogGenerator.h"

#include <QCoreApplication>
#include <QLocalSocket>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Run {
    double milliseconds = 0;
    long peakKilobytes = 0;
};

long PeakKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

Run StartOnce(const std::string& program, const QString& server)
{
    std::vector<char> path(program.begin(), program.end());
    path.push_back('\0');
    char* argv[] = {path.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.data(), nullptr, nullptr, argv, environ) != 0) return {};
    Run run;
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(server);
        if (socket.waitForConnected(5)) break;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (Clock::now() - start > std::chrono::seconds(30)) break;
    }
    run.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it settle
    run.peakKilobytes = PeakKilobytes(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return run;
}

Run Median(const std::string& program, const QString& server, int runs)
{
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i) all.push_back(StartOnce(program, server));
    std::sort(all.begin(), all.end(), [](const Run& a, const Run& b) { return a.milliseconds < b.milliseconds; });
    Run median = all[all.size() / 2];
    long peak = 0;
    for (const Run& r : all) peak = std::max(peak, r.peakKilobytes);
    median.peakKilobytes = peak;
    return median;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::string program = argc > 1 ? argv[1] : "build/bench/src/ambrin";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    const std::string home = (fs::temp_directory_path() / "ambrin-whole-program").string();
    fs::remove_all(home);
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // a real display when one is named
    ambrin::FileLocations locations;
    const std::string logPath = locations.CurrentLogPath();
    const QString server = ambrin::SingleInstance::ServerName(locations.LogFolder());

    const Run empty = Median(program, server, runs);
    std::printf("%-10s %12s %10s %8s %12s %12s %8s\n", "records", "file MB", "start ms", "ratio",
                "peak MB", "budget MB", "ratio");
    std::printf("%-10s %12.1f %10.1f %8s %12.1f %12s %8s\n", "0", 0.0, empty.milliseconds, "1.00x",
                empty.peakKilobytes / 1024.0, "", "");
    for (const std::size_t records : {1'000u, 10'000u, 100'000u, 1'000'000u}) {
        std::ostringstream bytes;
        ambrin::test::GenerateLog(records).WriteCsv(bytes, false);
        std::ofstream(logPath, std::ios::binary | std::ios::trunc) << bytes.str();
        const double fileMb = bytes.str().size() / 1048576.0;
        const Run loaded = Median(program, server, records >= 1'000'000 ? 3 : runs);
        // Peak memory budget: the empty program plus three times the file.
        const double budget = empty.peakKilobytes / 1024.0 + 3 * fileMb;
        std::printf("%-10zu %12.1f %10.1f %7.2fx %12.1f %12.1f %7.2fx\n", records, fileMb,
                    loaded.milliseconds, loaded.milliseconds / empty.milliseconds,
                    loaded.peakKilobytes / 1024.0, budget, loaded.peakKilobytes / 1024.0 / budget);
    }
    fs::remove_all(home);
    return 0;
}
