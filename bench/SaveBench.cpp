// A change of project with its durable save, against writing and syncing the same bytes.
// The goal is carried by the two timed in turn: alone, each is measured a second or more
// apart, and this machine's speed drifts by more than the difference between them.
#include "app/App.h"
#include "app/MainWindow.h"
#include "storage/SettingsStore.h"
#include "support/LogGenerator.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>

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
    explicit Strip(std::size_t records)
    {
        // The strip reads the log from its file, as at start-up.
        std::ofstream file(app.Locations().CurrentLogPath(), std::ios::binary | std::ios::trunc);
        ambrin::test::GenerateLog(records).WriteCsv(file, false);
        file.close();
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

BENCHMARK(BM_ChangeProject)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChangeProjectFloor)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path home = fs::temp_directory_path() / "ambrin-save-bench";
    fs::remove_all(home);
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    QApplication application(argc, argv);
    ambrin::SettingsStore::Write(ambrin::settings::kPopNote, false);
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
    ambrin::bench::PrintRatios("A change of project with its durable save, against writing and syncing the same bytes",
                               rows);
    fs::remove_all(home);
    return 0;
}
