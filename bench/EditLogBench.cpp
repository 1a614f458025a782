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
        ambrin::EditLogDialog dialog(app.Log(), app.Locations());
        dialog.show();
        QCoreApplication::processEvents();
    }
}

void BM_ScrollAndCommit(benchmark::State& state)
{
    ambrin::App app;
    FillLog(app, static_cast<std::size_t>(state.range(0)));
    ambrin::EditLogDialog dialog(app.Log(), app.Locations());
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
    ambrin::EditLogDialog dialog(app.Log(), app.Locations());
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
        ambrin::App longApp;
        FillLog(longApp, 100'000);
        ambrin::App shortApp;
        FillLog(shortApp, 10);
        const ambrin::bench::InTurn inTurn = ambrin::bench::TimeInTurn(
            200, [&](int i) { OpenScrollAndCommit(longApp, i); }, [&](int i) { OpenScrollAndCommit(shortApp, i); });
        rows.push_back({"the same in turn with 10 records, medians (ms)", inTurn.figure, inTurn.floor, "2x"});
    }
    ambrin::bench::PrintRatios("The Edit Log, 100,000 records against 10", rows);
    return 0;
}
