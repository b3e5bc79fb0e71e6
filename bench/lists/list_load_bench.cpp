// Loading the five-star list through the real main window against the demo portal, run in its
// own process so that its threads do not compete with the GUI thread being measured: wall time
// of the whole load, and how long the GUI thread went without processing events (the longest
// gap, and the 99th percentile of the gaps).
//
// FiveStarLoad is the program's way (the probe, then the pages together, shown in order);
// FiveStarLoadSequential asks for the same pages one after the other, for the ratio.
#include "app/startup.h"
#include "lists/rank_list.h"
#include "portal/profile.h"
#include "portal/ranking.h"
#include "shell/async.h"
#include "shell/controls.h"
#include "shell/event_routines.h"
#include "shell/windows.h"
#include "support/gui_bench.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace fundlens {
namespace {

using bench::GapMeter;
using bench::PortalProcess;
using bench::Settle;
using bench::WaitFor;

// The same pages as the five-star load, one after the other.
RunKind& SequentialRuns() {
    static RunKind kind;
    return kind;
}

Loader LoadPagesOneByOne(bool* done) {
    const RunToken run = SequentialRuns().Start(MainWindow().widget());
    auto fetch = [](Text url) {
        return [url = std::move(url)](const Cancellation& c) { return FetchRankPage(url, &c); };
    };
    Pending<RankPage> probeAnswer = OnPool(run, fetch(RankingUrl(FiveStarProbeQuery())));
    const RankPage probe = co_await probeAnswer;
    for (int page = 1; page <= static_cast<int>(probe.allPages); ++page) {
        Pending<RankPage> answer = OnPool(run, fetch(RankingUrl(FiveStarPageQuery({}, {}, page))));
        co_await answer;
    }
    *done = true;
    run.Finish();
}

// Runs `load` against a demo portal started with `options`, measuring each run.
void Measure(benchmark::State& state, const QStringList& options, const std::function<void()>& load,
             const std::function<bool()>& finished) {
    PortalProcess portal(options);
    if (portal.base().empty()) {
        state.SkipWithError("the demo portal did not start");
        return;
    }
    SetPortalProfile(ProfileAtBase(portal.base()));
    Routines() = EventRoutines{};
    InstallAllRoutines(Routines());
    CreateMainWindow();
    ShowMainWindow();
    Settle();
    GapMeter gaps;
    for (auto _ : state) {
        gaps.Start();
        load();
        WaitFor(finished);
        gaps.Stop();
    }
    state.counters["max_gui_gap_ms"] = gaps.LongestMs();
    state.counters["p99_gui_gap_ms"] = gaps.PercentileMs(0.99);
    DropLoaders();
    DestroyWindows();
    QCoreApplication::processEvents();
}

QStringList PortalOptions(const benchmark::State& state) {
    QStringList options{QStringLiteral("--latency"), QString::number(state.range(0))};
    if (state.range(1) != 0)
        options << QStringLiteral("--fault") << QStringLiteral("slow");
    return options;
}

void FiveStarLoad(benchmark::State& state) {
    Measure(
        state, PortalOptions(state), [] { MainWindow().ButtonNamed("五星基金钮").Click(); },
        [] { return !ListLoadRunning(); });
}

void FiveStarLoadSequential(benchmark::State& state) {
    bool done = false;
    Measure(
        state, PortalOptions(state),
        [&] {
            done = false;
            LoadPagesOneByOne(&done);
        },
        [&] { return done; });
}

// Arguments: latency in ms, slow-answer fault (0 or 1).
BENCHMARK(FiveStarLoad)
    ->Args({0, 0})
    ->Args({40, 0})
    ->Args({40, 1})
    ->ArgNames({"latency", "slow"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(FiveStarLoadSequential)
    ->Args({0, 0})
    ->Args({40, 0})
    ->ArgNames({"latency", "slow"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace
} // namespace fundlens

int main(int argc, char** argv) {
    return fundlens::bench::GuiBenchmarkMain(argc, argv);
}
