// The whole "ambrin --report" process over 100,000 records: the history by month against a
// process that reads the same log and sums nothing (a range with no record in it).
#include "support/LogGenerator.h"
#include "Ratios.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

void Report(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<std::string> all{program, "--report"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = argc > 1 ? argv[1] : "build/bench/src/ambrin";
    const std::string home = (fs::temp_directory_path() / "ambrin-report-bench").string();
    fs::remove_all(home);
    fs::create_directories(home + "/Ambrin/Logs");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    {
        std::ofstream log(home + "/Ambrin/Logs/current log.csv", std::ios::binary);
        ambrin::test::GenerateLog(100'000).WriteCsv(log, false);
    }
    const ambrin::bench::InTurn times = ambrin::bench::TimeInTurn(
        21, [&](int) { Report(program, {"--from", "2000-01-01", "--by", "month", "--json"}); },
        [&](int) { Report(program, {"--from", "2000-01-01", "--to", "2000-01-01", "--json"}); });
    ambrin::bench::PrintRatios("ambrin --report, 100,000 records",
                               {{"the history by month, against summing nothing (ms)", times.figure, times.floor, "1.5x"}});
    fs::remove_all(home);
    return 0;
}
