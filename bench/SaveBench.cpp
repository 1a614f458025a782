// A change of project with its durable save, against writing and syncing the same bytes.
// The goal is carried by the two timed in turn: alone, each is measured a second or more
// apart, and this machine's speed drifts by more than the difference between them.
#include "app/App.h"
#include "app/MainWindow.h"
#include "storage/SettingsStore.h"
#include "support/FakeClock.h"
#include "support/LogGenerator.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAndSync(const std::string& path, const std::string& bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(write(fd, bytes.data(), bytes.size()));
    fsync(fd);
    close(fd);
}

struct Strip {
    // records: a log of that many written first; none, the log the last strip left.
    // loadEarly: read on a thread while the strip is made, as the program starts.
    explicit Strip(std::size_t records, bool loadEarly = false)
    {
        // The strip reads the log from its file, as at start-up.
        if (records > 0) {
            std::ofstream file(app.Locations().CurrentLogPath(), std::ios::binary | std::ios::trunc);
            ambrin::test::GenerateLog(records).WriteCsv(file, false);
        }
        if (loadEarly) app.BeginLoading();
        window = std::make_unique<ambrin::MainWindow>(app);
        window->SaveFiles();  // the day's copy is made by this first save
    }
    void Change(int i)
    {
        window->findChild<QComboBox*>("projectCombo")->setEditText(i % 2 ? "Accounts" : "Website");
        window->ChangeProject();
    }
    ambrin::App app;
    std::unique_ptr<ambrin::MainWindow> window;
};

void BM_ChangeProject(benchmark::State& state)
{
    Strip strip(static_cast<std::size_t>(state.range(0)));
    int i = 0;
    for (auto _ : state) strip.Change(i++);
    state.counters["records"] = static_cast<double>(strip.app.Log().Count());
}

// Writes and syncs the bytes of both files as the strip last saved them.
struct Floor {
    explicit Floor(Strip& strip)
        : log(Bytes(strip.app.Locations().CurrentLogPath())),
          list(Bytes(strip.app.Locations().ProjectListPath())),
          folder(strip.app.Locations().LogFolder())
    {
    }
    void Write() const
    {
        WriteAndSync(folder + "/floor-list", list);
        WriteAndSync(folder + "/floor-log", log);
    }
    std::string log;
    std::string list;
    std::string folder;
};

void BM_ChangeProjectFloor(benchmark::State& state)
{
    Strip strip(static_cast<std::size_t>(state.range(0)));
    strip.Change(0);
    const Floor floor(strip);
    for (auto _ : state) floor.Write();
}

// The day's first switch against a later one at 1,000,000 records: the first also keeps the
// day's copy of the log. Medians over several days (ms).
ambrin::bench::InTurn DaysFirstSwitch()
{
    using ambrin::test::MakeTime;
    ambrin::test::FakeClock clock(MakeTime(2026, 12, 1, 9, 0));
    Strip strip(1'000'000);
    std::vector<double> firsts, laters;
    const auto time = [&](int i) {
        const auto start = std::chrono::steady_clock::now();
        strip.Change(i);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (int day = 2; day <= 8; ++day) {
        clock.Set(MakeTime(2026, 12, day, 9, 0));
        firsts.push_back(time(day * 2));
        clock.Set(MakeTime(2026, 12, day, 9, 30));
        laters.push_back(time(day * 2 + 1));
    }
    std::sort(firsts.begin(), firsts.end());
    std::sort(laters.begin(), laters.end());
    return {firsts[firsts.size() / 2], laters[laters.size() / 2]};
}

long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    }
    return 0;
}

// Run in a process of its own (--switches-peak), on the log the last strip left: the memory
// before the log, the peak once it is loaded, the peak after a hundred switches, and the
// file's size; in kilobytes.
int SwitchesPeak()
{
    const long empty = StatusKilobytes("VmHWM:");
    Strip strip(0, true);
    const long started = StatusKilobytes("VmHWM:");
    for (int i = 0; i < 100; ++i) strip.Change(i);
    const long switched = StatusKilobytes("VmHWM:");
    const long file = static_cast<long>(fs::file_size(strip.app.Locations().CurrentLogPath()) / 1024);
    std::printf("%ld %ld %ld %ld\n", empty, started, switched, file);
    return 0;
}

BENCHMARK(BM_ChangeProject)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChangeProjectFloor)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path home = fs::temp_directory_path() / "ambrin-save-bench";
    const bool switchesPeak = argc > 1 && std::string(argv[1]) == "--switches-peak";
    if (!switchesPeak) {
        fs::remove_all(home);
        fs::create_directories(home);
    }
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    QApplication application(argc, argv);
    ambrin::SettingsStore::Write(ambrin::settings::kPopNote, false);
    if (switchesPeak) return SwitchesPeak();
    benchmark::Initialize(&argc, argv);
    ambrin::bench::TimeKeeper times;
    benchmark::RunSpecifiedBenchmarks(&times);
    std::vector<ambrin::bench::RatioRow> rows;
    times.AddRatio(rows, "change of project, 100,000 records (ms)", "BM_ChangeProject/100000",
                   "BM_ChangeProjectFloor/100000");
    if (times.Ran("BM_ChangeProject/100000")) {
        Strip strip(100'000);
        strip.Change(0);
        const Floor floor(strip);
        const ambrin::bench::InTurn inTurn = ambrin::bench::TimeInTurn(
            100, [&](int i) { strip.Change(i + 1); }, [&](int) { floor.Write(); });
        rows.push_back({"the same in turn with its floor, medians (ms)", inTurn.figure, inTurn.floor, "2.5x"});
    }
    times.AddRatio(rows, "change of project, 1,000,000 records (ms)", "BM_ChangeProject/1000000",
                   "BM_ChangeProjectFloor/1000000");
    if (times.Ran("BM_ChangeProject/1000000")) {
        const ambrin::bench::InTurn day = DaysFirstSwitch();
        rows.push_back({"the day's first switch against a later, 1,000,000 (ms)", day.figure, day.floor, "1.5x"});
        // A process of its own, so that its peak is the strip's alone.
        const std::string command = fs::read_symlink("/proc/self/exe").string() + " --switches-peak";
        if (std::FILE* child = popen(command.c_str(), "r")) {
            long empty = 0, started = 0, switched = 0, file = 0;
            if (std::fscanf(child, "%ld %ld %ld %ld", &empty, &started, &switched, &file) == 4) {
                const double budget = (empty + 3.0 * file) / 1024.0;
                rows.push_back({"peak memory at start against its budget, 1,000,000 (MB)", started / 1024.0, budget, "1x"});
                rows.push_back({"the same after 100 switches (MB)", switched / 1024.0, budget, "1x"});
            }
            pclose(child);
        }
    }
    ambrin::bench::PrintRatios("A change of project with its durable save, against writing and syncing the same bytes",
                               rows);
    fs::remove_all(home);
    return 0;
}
