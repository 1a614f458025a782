// Reading and writing a 100,000-record log, each against its floor: the same bytes read
// and split into lines, and the same bytes written with one write call.
#include "support/LogGenerator.h"
#include "storage/CsvLog.h"
#include "core/TimeSummary.h"
#include "platform/LocalClock.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::size_t kRecords = 100'000;
const char* const kPath = "/tmp/ambrin-bench-log.csv";

const std::string& LogBytes()
{
    static const std::string bytes = [] {
        std::ostringstream out;
        ambrin::test::GenerateLog(kRecords).WriteCsv(out, false);
        std::ofstream(kPath, std::ios::binary) << out.str();
        return out.str();
    }();
    return bytes;
}

void BM_ReadFloor(benchmark::State& state)
{
    LogBytes();
    for (auto _ : state) {
        std::ifstream in(kPath, std::ios::binary);
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t lines = 0;
        for (std::size_t pos = 0; pos < data.size(); ++lines) {
            const void* lf = std::memchr(data.data() + pos, '\n', data.size() - pos);
            std::string_view line(data.data() + pos,
                                  lf ? static_cast<const char*>(lf) - (data.data() + pos)
                                     : data.size() - pos);
            benchmark::DoNotOptimize(line);
            pos += line.size() + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
}

void BM_ReadCsv(benchmark::State& state)
{
    LogBytes();
    for (auto _ : state) {
        std::ifstream in(kPath, std::ios::binary);
        ambrin::TimeLog log;
        log.ReadCsv(in);
        benchmark::DoNotOptimize(log.Count());
        state.PauseTiming();  // freeing the records read is not part of reading them
        log.Clear();
        state.ResumeTiming();
    }
}

void BM_ReadCsvFile(benchmark::State& state)
{
    LogBytes();
    for (auto _ : state) {
        ambrin::TimeLog log;
        ambrin::ReadCsvFile(log, kPath);
        benchmark::DoNotOptimize(log.Count());
        state.PauseTiming();
        log.Clear();
        state.ResumeTiming();
    }
}

void BM_WriteFloor(benchmark::State& state)
{
    const std::string& bytes = LogBytes();
    for (auto _ : state) {
        const int fd = open("/tmp/ambrin-bench-out.csv", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(write(fd, bytes.data(), bytes.size()));
        close(fd);
    }
}

void BM_WriteCsv(benchmark::State& state)
{
    LogBytes();
    std::ifstream in(kPath, std::ios::binary);
    ambrin::TimeLog log;
    log.ReadCsv(in);
    for (auto _ : state) {
        std::ofstream out("/tmp/ambrin-bench-out.csv", std::ios::binary | std::ios::trunc);
        log.WriteCsv(out, false);
    }
}

// The whole history by month, with the system's time zone, as ambrin --report sums it.
void BM_SummaryByMonth(benchmark::State& state)
{
    LogBytes();
    std::ifstream in(kPath, std::ios::binary);
    ambrin::TimeLog log;
    log.ReadCsv(in);
    const auto offset = [](ambrin::ClockTime local) {
        const ambrin::CalendarFields f = local.Fields();
        return ambrin::platform::UtcOffsetAt({f.year, f.month, f.day, f.hour, f.minute, 0, 0});
    };
    for (auto _ : state) {
        const ambrin::TimeSummary summary = ambrin::Summarize(log, {2000, 1, 1}, {2030, 12, 31}, ambrin::SummaryGrouping::Month,
                                                              ambrin::ClockTime::Now(), offset);
        benchmark::DoNotOptimize(summary.total);
    }
}

BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadCsv)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadCsvFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_WriteFloor)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SummaryByMonth)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    ambrin::bench::TimeKeeper times;
    benchmark::RunSpecifiedBenchmarks(&times);
    std::vector<ambrin::bench::RatioRow> rows;
    times.AddRatio(rows, "ReadCsv, from a stream (ms)", "BM_ReadCsv", "BM_ReadFloor");
    times.AddRatio(rows, "ReadCsvFile, as the program reads its log (ms)", "BM_ReadCsvFile", "BM_ReadFloor");
    times.AddRatio(rows, "WriteCsv (ms)", "BM_WriteCsv", "BM_WriteFloor");
    times.AddRatio(rows, "summary of every record by month, against ReadCsv (ms)", "BM_SummaryByMonth", "BM_ReadCsv", "1x");
    ambrin::bench::PrintRatios("Reading and writing the log, 100,000 records", rows);
    std::remove(kPath);
    std::remove("/tmp/ambrin-bench-out.csv");
    return 0;
}
