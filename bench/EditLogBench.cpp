// Opening the Edit Log dialog on a large log, against the same on 10 records: construction,
// the sorted working copy, the first paint; scrolling to the end and back and committing an
// edit; and the whole sequence a user goes through, which carries the goal when the two
// logs take turns (Google Benchmark runs each size alone, a second or so apart, and this
// machine's speed drifts by more than the difference between them).
#include "support/LogGenerator.h"
#include "app/App.h"
#include "dialogs/EditLogDialog.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

void FillLog(ambrin::App& app, std::size_t records)
{
    ambrin::TimeLog generated = ambrin::test::GenerateLog(records);
    app.Log().Assign(generated);
}

// Selects a row as a click does, committing the edits of the row that was selected.
void Select(QTableView* list, int row)
{
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void BM_OpenEditLog(benchmark::State& state)
{
    ambrin::App app;
    FillLog(app, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ambrin::EditLogDialog dialog(app);
        dialog.show();
        QCoreApplication::processEvents();
    }
}

void BM_ScrollAndCommit(benchmark::State& state)
{
    ambrin::App app;
    FillLog(app, static_cast<std::size_t>(state.range(0)));
    ambrin::EditLogDialog dialog(app);
    dialog.show();
    QCoreApplication::processEvents();
    auto* list = dialog.findChild<QTableView*>("logList");
    auto* project = dialog.findChild<QLineEdit*>("projectEdit");
    int edit = 0;
    for (auto _ : state) {
        list->scrollToBottom();
        QCoreApplication::processEvents();
        list->scrollToTop();
        QCoreApplication::processEvents();
        const int row = edit++ % 2;
        Select(list, row);
        project->setText(QStringLiteral("Edited %1").arg(edit));
        Select(list, 1 - row);
        QCoreApplication::processEvents();
    }
}

// The whole sequence a user goes through: open the dialog (on the first record), scroll to
// the other end, commit an edit of the last record there, close it.
void OpenScrollAndCommit(ambrin::App& app, int edit)
{
    ambrin::EditLogDialog dialog(app);
    dialog.show();
    QCoreApplication::processEvents();
    auto* list = dialog.findChild<QTableView*>("logList");
    auto* project = dialog.findChild<QLineEdit*>("projectEdit");
    list->scrollToBottom();
    QCoreApplication::processEvents();
    const int last = list->model()->rowCount() - 1;
    Select(list, last);
    project->setText(QStringLiteral("Edited %1").arg(edit));
    Select(list, last - 1);
    QCoreApplication::processEvents();
}

void BM_OpenScrollAndCommit(benchmark::State& state)
{
    ambrin::App app;
    FillLog(app, static_cast<std::size_t>(state.range(0)));
    int edit = 0;
    for (auto _ : state) OpenScrollAndCommit(app, ++edit);
}

// The whole sequence on the long log and on the short one in turn, so that a machine that
// speeds up or slows down weighs on both alike: the medians, in milliseconds.
struct InTurn {
    double figure;
    double floor;
};

InTurn OpenScrollAndCommitInTurn(int sequences)
{
    ambrin::App longApp;
    FillLog(longApp, 100'000);
    ambrin::App shortApp;
    FillLog(shortApp, 10);
    std::vector<double> longTimes;
    std::vector<double> shortTimes;
    const auto time = [](ambrin::App& app, int edit) {
        const auto start = std::chrono::steady_clock::now();
        OpenScrollAndCommit(app, edit);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = -5; i < sequences; ++i) {  // the first few warm up
        const double longTime = time(longApp, i + 10);
        const double shortTime = time(shortApp, i + 10);
        if (i < 0) continue;
        longTimes.push_back(longTime);
        shortTimes.push_back(shortTime);
    }
    const auto median = [](std::vector<double>& times) {
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        return times[times.size() / 2];
    };
    return {median(longTimes), median(shortTimes)};
}

BENCHMARK(BM_OpenEditLog)->Arg(10)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollAndCommit)->Arg(10)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenScrollAndCommit)->Arg(10)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    ambrin::bench::TimeKeeper times;
    benchmark::RunSpecifiedBenchmarks(&times);
    std::vector<ambrin::bench::RatioRow> rows;
    const auto add = [&](const char* measure, const std::string& name, const char* goal) {
        times.AddRatio(rows, measure, name + "/100000", name + "/10", goal);
    };
    add("Edit Log: open and close (ms)", "BM_OpenEditLog", "");
    add("Edit Log: scroll to the end and back, commit (ms)", "BM_ScrollAndCommit", "");
    add("Edit Log: open, scroll end to end, commit, close (ms)", "BM_OpenScrollAndCommit", "");
    if (times.Ran("BM_OpenScrollAndCommit/100000")) {
        const InTurn inTurn = OpenScrollAndCommitInTurn(200);
        rows.push_back({"the same in turn with 10 records, medians (ms)", inTurn.figure, inTurn.floor, "1.5x"});
    }
    ambrin::bench::PrintRatios("The Edit Log, 100,000 records against 10", rows);
    return 0;
}
