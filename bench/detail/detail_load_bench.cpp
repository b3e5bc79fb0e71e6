// Showing a fund's detail through the real main window against the demo portal in its own
// process: the time from a cursor move in the fund list to the last detail field written (the
// end of the fund's detail run), and how long the GUI thread went without processing events.
//
// FundDetail moves the cursor to another row of the five-star list once per iteration;
// FundDetailAfterQuickMoves runs the cursor over 20 rows as fast as keys repeat, so that 19
// loads are superseded and only the last row's fund loads to the end.
#include "app/startup.h"
#include "detail/fund_detail.h"
#include "lists/rank_list.h"
#include "portal/profile.h"
#include "shell/event_routines.h"
#include "shell/windows.h"
#include "support/gui_bench.h"

#include <QApplication>
#include <QTableWidget>
#include <benchmark/benchmark.h>

namespace fundlens {
namespace {

using bench::GapMeter;
using bench::PortalProcess;
using bench::Settle;
using bench::WaitFor;

// The list rows the cursor visits, in turn.
constexpr int VisitedRows = 40;

// As the user moves it: the grid reports the move.
void MoveCursor(int row) {
    auto* grid = qobject_cast<QTableWidget*>(MainWindow().GridNamed("高级表格1").widget());
    grid->setCurrentCell(row - 1, 0);
}

bool StartAgainst(const std::string& base) {
    SetPortalProfile(ProfileAtBase(base));
    Routines() = EventRoutines{};
    InstallAllRoutines(Routines());
    CreateMainWindow();
    ShowMainWindow();
    Settle();
    MainWindow().ButtonNamed("五星基金钮").Click();
    WaitFor([] { return !ListLoadRunning(); });
    return MainWindow().GridNamed("高级表格1").RowCount() > VisitedRows;
}

void Measure(benchmark::State& state, int movesPerIteration) {
    PortalProcess portal({QStringLiteral("--latency"), QString::number(state.range(0))});
    if (portal.base().empty() || !StartAgainst(portal.base())) {
        state.SkipWithError("the demo portal did not start or gave no list");
        return;
    }
    GapMeter gaps;
    int row = 0;
    for (auto _ : state) {
        gaps.Start();
        for (int move = 0; move < movesPerIteration; ++move) {
            row = row % VisitedRows + 1;
            MoveCursor(row);
            QCoreApplication::processEvents(); // one move per key press
        }
        WaitFor([] { return !DetailLoadRunning(); });
        gaps.Stop();
    }
    state.counters["max_gui_gap_ms"] = gaps.LongestMs();
    state.counters["p99_gui_gap_ms"] = gaps.PercentileMs(0.99);
    DropLoaders();
    DestroyWindows();
    QCoreApplication::processEvents();
}

void FundDetail(benchmark::State& state) {
    Measure(state, 1);
}

void FundDetailAfterQuickMoves(benchmark::State& state) {
    Measure(state, 20);
}

// Argument: the portal's latency in ms.
BENCHMARK(FundDetail)
    ->Arg(0)
    ->Arg(40)
    ->ArgName("latency")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK(FundDetailAfterQuickMoves)
    ->Arg(0)
    ->Arg(40)
    ->ArgName("latency")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

} // namespace
} // namespace fundlens

int main(int argc, char** argv) {
    return fundlens::bench::GuiBenchmarkMain(argc, argv);
}
