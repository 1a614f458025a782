// The program as a user meets it, at 1,000 to 1,000,000 records: start-up from process start
// to the strip shown with the log loaded, and peak memory, each against the same program with
// an empty log. The strip listens on its local socket right after it is shown, so the first
// successful connection marks the end of start-up. Starts with the empty log and with the
// full one take turns, each in a home of its own, so that a machine that speeds up or slows
// down over the run weighs on both alike.
#include "app/SingleInstance.h"
#include "storage/FileLocations.h"
#include "support/LogGenerator.h"
#include "Ratios.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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

// A home folder with its own application folder, and the environment that points there.
struct Home {
    std::string folder;
    std::vector<std::string> environment;
    std::string logPath;
    QString server;
};

Home MakeHome(const std::string& folder)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    Home home;
    home.folder = folder;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_CONFIG_HOME=", 0) != 0) {
            home.environment.push_back(entry);
        }
    }
    home.environment.push_back("HOME=" + folder);
    home.environment.push_back("XDG_CONFIG_HOME=" + folder + "/.config");
    // The locations as the program will find them.
    setenv("HOME", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/.config").c_str(), 1);
    ambrin::FileLocations locations;
    home.logPath = locations.CurrentLogPath();
    home.server = ambrin::SingleInstance::ServerName(locations.LogFolder());
    return home;
}

// Watches the folder where a local server's socket appears, so that the wait for a start to
// end costs no processor time: polling with connection attempts took about a sixth of one
// processor from the program it was timing.
class SocketWatch {
public:
    explicit SocketWatch(const QString& server)
    {
        const QString path = QDir(QDir::tempPath()).absoluteFilePath(server);
        name_ = QFileInfo(path).fileName().toStdString();
        fd_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (fd_ >= 0) inotify_add_watch(fd_, QFileInfo(path).absolutePath().toLocal8Bit().constData(), IN_CREATE | IN_MOVED_TO);
    }
    ~SocketWatch()
    {
        if (fd_ >= 0) close(fd_);
    }
    SocketWatch(const SocketWatch&) = delete;
    SocketWatch& operator=(const SocketWatch&) = delete;

    // Waits up to timeout for the socket to appear; true when it did.
    bool Wait(std::chrono::milliseconds timeout) const
    {
        if (fd_ < 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            return false;
        }
        pollfd watched{fd_, POLLIN, 0};
        if (poll(&watched, 1, static_cast<int>(timeout.count())) <= 0) return false;
        alignas(inotify_event) char events[4096];
        bool appeared = false;
        for (ssize_t got; (got = read(fd_, events, sizeof events)) > 0;) {
            for (char* at = events; at < events + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0 && name_ == event->name) appeared = true;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return appeared;
    }

private:
    int fd_ = -1;
    std::string name_;
};

bool Connects(const QString& server)
{
    QLocalSocket socket;
    socket.connectToServer(server);
    return socket.waitForConnected(5);
}

Run StartOnce(const std::string& program, const Home& home)
{
    std::vector<char> path(program.begin(), program.end());
    path.push_back('\0');
    char* argv[] = {path.data(), nullptr};
    std::vector<char*> envp;
    for (const std::string& entry : home.environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    const SocketWatch watch(home.server);  // the program removes any socket left before it listens
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.data(), nullptr, nullptr, argv, envp.data()) != 0) return {};
    Run run;
    // Connects once the socket appears (and every 100 ms besides, should the watch miss it);
    // a socket that appears before it listens is polled as it would have been.
    for (bool appeared = false; Clock::now() - start < std::chrono::seconds(30);) {
        if (!appeared) appeared = watch.Wait(std::chrono::milliseconds(100));
        if (Connects(home.server)) break;
        if (appeared) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    run.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it settle
    run.peakKilobytes = PeakKilobytes(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return run;
}

struct Summary {
    double median = 0;
    double best = 0;
    long peakKilobytes = 0;  // the highest of the runs
};

Summary Summarize(std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.milliseconds < b.milliseconds; });
    Summary summary{runs[runs.size() / 2].milliseconds, runs.front().milliseconds, 0};
    for (const Run& r : runs) summary.peakKilobytes = std::max(summary.peakKilobytes, r.peakKilobytes);
    return summary;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::string program = argc > 1 ? argv[1] : "build/bench/src/ambrin";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 31;
    // A third argument names one size alone: "100000" compares that size's starts only.
    std::vector<std::size_t> sizes{1'000u, 10'000u, 100'000u, 1'000'000u};
    if (argc > 3) sizes = {static_cast<std::size_t>(std::atol(argv[3]))};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // a real display when one is named
    const std::string base = (fs::temp_directory_path() / "ambrin-whole-program").string();
    const Home empty = MakeHome(base + "/empty");
    const Home loaded = MakeHome(base + "/loaded");

    // Start-up: medians, and their ratio; the best runs, and theirs.
    std::printf("%-9s %8s %9s %9s %7s %9s %9s %7s %8s %9s %7s\n", "records", "file MB", "empty ms", "start ms",
                "ratio", "best e ms", "best s ms", "ratio", "peak MB", "budget MB", "ratio");
    std::vector<ambrin::bench::RatioRow> summary;
    for (const std::size_t records : sizes) {
        std::ostringstream bytes;
        ambrin::test::GenerateLog(records).WriteCsv(bytes, false);
        std::ofstream(loaded.logPath, std::ios::binary | std::ios::trunc) << bytes.str();
        const double fileMb = bytes.str().size() / 1048576.0;
        std::vector<Run> emptyRuns;
        std::vector<Run> loadedRuns;
        const int turns = records >= 1'000'000 ? 3 : (records == 100'000 ? runs : 11);
        for (int i = 0; i < turns; ++i) {
            emptyRuns.push_back(StartOnce(program, empty));
            loadedRuns.push_back(StartOnce(program, loaded));
        }
        const Summary e = Summarize(emptyRuns);
        const Summary l = Summarize(loadedRuns);
        // Peak memory budget: the empty program plus three times the file.
        const double budget = e.peakKilobytes / 1024.0 + 3 * fileMb;
        std::printf("%-9zu %8.1f %9.1f %9.1f %6.2fx %9.1f %9.1f %6.2fx %8.1f %9.1f %6.2fx\n", records, fileMb,
                    e.median, l.median, l.median / e.median, e.best, l.best, l.best / e.best,
                    l.peakKilobytes / 1024.0, budget, l.peakKilobytes / 1024.0 / budget);
        if (records == 100'000u) {
            summary.push_back({"start-up, 100,000 records, medians (ms)", l.median, e.median, "1.5x"});
            summary.push_back({"start-up, 100,000 records, best runs (ms)", l.best, e.best, ""});
            summary.push_back({"peak memory against its budget, 100,000 (MB)", l.peakKilobytes / 1024.0, budget,
                               "1x"});
        }
    }
    ambrin::bench::PrintRatios("The whole program, against an empty log", summary);
    fs::remove_all(base);
    return 0;
}
