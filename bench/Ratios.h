#pragma once

// Ratios of measured operations to their floors, printed after a benchmark program's own
// table and added to the summary `make bench` prints at its end (the file named by
// AMBRIN_BENCH_SUMMARY, when set).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace ambrin::bench {

struct RatioRow {
    std::string measure;  // with its unit: "ReadCsv (ms)"
    double figure;
    double floor;
    std::string goal;  // "2.5x", or empty
};

inline void PrintRatios(const std::string& title, const std::vector<RatioRow>& rows)
{
    if (rows.empty()) return;
    const char* summaryPath = std::getenv("AMBRIN_BENCH_SUMMARY");
    std::FILE* summary = summaryPath ? std::fopen(summaryPath, "a") : nullptr;
    for (std::FILE* out : {stdout, summary}) {
        if (!out) continue;
        std::fprintf(out, "\n%s\n%-50s %10s %10s %8s %6s\n", title.c_str(), "measure", "figure", "floor",
                     "ratio", "goal");
        for (const RatioRow& row : rows) {
            std::fprintf(out, "%-50s %10.2f %10.2f %7.2fx %6s\n", row.measure.c_str(), row.figure, row.floor,
                         row.figure / row.floor, row.goal.c_str());
        }
    }
    if (summary) std::fclose(summary);
}

// Medians in milliseconds of an operation and its floor timed in turn, so that a machine
// that speeds up or slows down over the run weighs on both alike. The first few of each
// warm up and are not counted.
struct InTurn {
    double figure;
    double floor;
};

template <typename Operation, typename Floor>
InTurn TimeInTurn(int runs, Operation&& operation, Floor&& floor)
{
    const auto time = [](auto&& run, int i) {
        const auto start = std::chrono::steady_clock::now();
        run(i);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    const auto median = [](std::vector<double>& times) {
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        return times[times.size() / 2];
    };
    constexpr int kWarmUp = 5;
    std::vector<double> figures;
    std::vector<double> floors;
    for (int i = 0; i < kWarmUp + runs; ++i) {
        const double figure = time(operation, i);
        const double floorTime = time(floor, i);
        if (i < kWarmUp) continue;
        figures.push_back(figure);
        floors.push_back(floorTime);
    }
    return {median(figures), median(floors)};
}

// Keeps each run's real time by its name ("BM_ReadCsv", "BM_OpenEditLog/100000").
class TimeKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            times_[name] = run.GetAdjustedRealTime();
        }
    }
    bool Ran(const std::string& name) const { return times_.count(name) != 0; }
    // Adds the ratio of one run to another, when both ran (a filter may have left one out).
    void AddRatio(std::vector<RatioRow>& rows, const std::string& measure, const std::string& name,
                  const std::string& floorName, const std::string& goal = {}) const
    {
        const auto run = times_.find(name);
        const auto floor = times_.find(floorName);
        if (run != times_.end() && floor != times_.end()) rows.push_back({measure, run->second, floor->second, goal});
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace ambrin::bench
