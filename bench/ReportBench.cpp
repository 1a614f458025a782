// The whole "ambrin --report" process over 100,000 records: the history by month against a
// process that reads the same log and sums nothing (a range with no record in it). And
// "ambrin --status", which status bars run all day: 100,000 records against 10.
#include "support/LogGenerator.h"
#include "Ratios.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Starts the program with those arguments, its output dropped; its process.
pid_t Start(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Run(const std::string& program, const std::vector<std::string>& args)
{
    const pid_t pid = Start(program, args);
    if (pid > 0) waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = argc > 1 ? argv[1] : "build/bench/src/ambrin";
    const std::string root = (fs::temp_directory_path() / "ambrin-report-bench").string();
    fs::remove_all(root);
    // A home with a log of that many records up to an hour ago, and a project running since.
    const auto makeHome = [&root](std::size_t records) {
        const std::string home = root + "/" + std::to_string(records);
        fs::create_directories(home + "/Ambrin/Logs");
        ambrin::TimeLog log = ambrin::test::GenerateLog(records);
        const std::uint64_t hourAgo = ambrin::ClockTime::Now().Ticks() - 3600 * ambrin::kTicksPerSecond;
        // The history ends an hour ago, as a real one would (a generated one runs past today).
        const auto shift = static_cast<std::int64_t>(log.View(log.Count() - 1).end.Ticks()) - static_cast<std::int64_t>(hourAgo);
        for (std::uint32_t i = 0; i < log.Count(); ++i) {
            ambrin::TimeRecord& r = log.At(i);
            r.start = ambrin::ClockTime(static_cast<std::uint64_t>(static_cast<std::int64_t>(r.start.Ticks()) - shift));
            r.end = ambrin::ClockTime(static_cast<std::uint64_t>(static_cast<std::int64_t>(r.end.Ticks()) - shift));
        }
        log.Append("Website redesign", "", ambrin::ClockTime(hourAgo), {});
        std::ofstream file(home + "/Ambrin/Logs/current log.csv", std::ios::binary);
        log.WriteCsv(file, false);
        return home;
    };
    const std::string large = makeHome(100'000), small = makeHome(10);
    const auto at = [](const std::string& home) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    };
    at(large);
    const ambrin::bench::InTurn report = ambrin::bench::TimeInTurn(
        21, [&](int) { Run(program, {"--report", "--from", "2000-01-01", "--by", "month", "--json"}); },
        [&](int) { Run(program, {"--report", "--from", "2000-01-01", "--to", "2000-01-01", "--json"}); });
    const ambrin::bench::InTurn status = ambrin::bench::TimeInTurn(
        31, [&](int) { at(large); Run(program, {"--status", "--json"}); },
        [&](int) { at(small); Run(program, {"--status", "--json"}); });
    // The same with a strip running on each log: the status comes from it, over its socket.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<pid_t> strips;
    for (const std::string& home : {large, small}) {
        at(home);
        strips.push_back(Start(program, {}));
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));  // both strips up and serving
    const ambrin::bench::InTurn served = ambrin::bench::TimeInTurn(
        31, [&](int) { at(large); Run(program, {"--status", "--json"}); },
        [&](int) { at(small); Run(program, {"--status", "--json"}); });
    for (const pid_t strip : strips) {
        kill(strip, SIGTERM);
        waitpid(strip, nullptr, 0);
    }
    ambrin::bench::PrintRatios("ambrin --report and --status, 100,000 records",
                               {{"the history by month, against summing nothing (ms)", report.figure, report.floor, "1.5x"},
                                {"--status, against 10 records (ms)", status.figure, status.floor, "1.2x"},
                                {"--status with a strip running, against 10 records (ms)", served.figure, served.floor, "1.2x"}});
    fs::remove_all(root);
    return 0;
}
