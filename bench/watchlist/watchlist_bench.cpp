// The watchlist's refresh through the real window against the demo portal in its own process:
// the full refresh of the 刷新 button (every fund's main page and archive, then the quotes of
// all their stocks in batches of 50) and the same answers asked one fund after the other (main
// page, archive, that fund's quotes); the timer's quotes-only refresh; how long the GUI thread
// went without processing events; the resident memory with many funds watched.
//
// Arguments: the number of watched funds and the portal's latency in ms.
#include "analysis/trading_clock.h"
#include "app/startup.h"
#include "lists/rank_list.h"
#include "portal/profile.h"
#include "portal/watchlist_answers.h"
#include "shell/event_routines.h"
#include "shell/program_state.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "store/watchlist_store.h"
#include "support/gui_bench.h"
#include "watchlist/watchlist_refresh.h"
#include "watchlist/watchlist_state.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fundlens {
namespace {

using bench::GapMeter;
using bench::PortalProcess;
using bench::Settle;
using bench::WaitFor;

// A session minute: the estimate phase, the timer's refreshes allowed.
constexpr const char* SessionMinute = "2026-12-09 10:30";

std::string DataDir() {
    return (std::filesystem::temp_directory_path() /
            ("fundlens_bench_watchlist_" + std::to_string(::getpid())))
        .string();
}

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

// The main window and the five-star list, whose first `funds` codes become the watched funds;
// then the watchlist window, opened and refreshed once.
bool StartWatching(const std::string& base, int funds) {
    FixChinaTime(ReadChinaTime(SessionMinute));
    SetPortalProfile(ProfileAtBase(base));
    std::filesystem::remove_all(DataDir());
    Routines() = EventRoutines{};
    InstallAllRoutines(Routines());
    SetWatchlistDataDir(DataDir());
    CreateMainWindow();
    ShowMainWindow();
    Settle();
    MainWindow().ButtonNamed("五星基金钮").Click();
    WaitFor([] { return !ListLoadRunning(); });
    const std::vector<FundListRow>& rows = State().Views.fundList.rows;
    if (static_cast<int>(rows.size()) < funds)
        return false;
    WatchlistStore store = WatchlistStore::Open(DataDir(), OpenMode::ExistingOnly);
    for (int i = 0; i < funds; ++i) {
        if (!store.AddFund(rows[static_cast<std::size_t>(i)][CodeColumn].text, ""))
            return false;
    }
    MainWindow().ButtonNamed(WatchlistButtonName).Click();
    WaitFor([] { return WatchlistWindow().Exists() && !WatchlistRefreshRunning(); });
    Settle();
    return static_cast<int>(State().Views.watchlist.funds.size()) == funds;
}

void StopWatching() {
    DropLoaders();
    DestroyWindows();
    QCoreApplication::processEvents();
    ResetWatchlist();
    std::filesystem::remove_all(DataDir());
    FixChinaTime(std::nullopt);
}

// Runs `refresh` per iteration and waits for the refresh to end.
void Measure(benchmark::State& state, const std::function<void()>& refresh) {
    const int funds = static_cast<int>(state.range(0));
    PortalProcess portal({QStringLiteral("--latency"), QString::number(state.range(1))});
    if (portal.base().empty() || !StartWatching(portal.base(), funds)) {
        state.SkipWithError("the demo portal did not start or gave too short a list");
        StopWatching();
        return;
    }
    GapMeter gaps;
    for (auto _ : state) {
        gaps.Start();
        refresh();
        WaitFor([] { return !WatchlistRefreshRunning(); });
        gaps.Stop();
    }
    state.counters["max_gui_gap_ms"] = gaps.LongestMs();
    state.counters["p99_gui_gap_ms"] = gaps.PercentileMs(0.99);
    state.counters["resident_mb"] = ResidentMb();
    state.counters["stale_rows"] = static_cast<double>(StaleFunds(Watchlist()));
    StopWatching();
}

void WatchlistFullRefresh(benchmark::State& state) {
    Measure(state, [] { WatchlistWindow().ButtonNamed(WatchlistRefreshName).Click(); });
}

void WatchlistQuotesRefresh(benchmark::State& state) {
    Measure(state, [] { Fire(Routines().watchlist.timerTicked); });
}

// The same answers one fund after the other, each fund's quotes on their own.
void WatchlistOneByOne(benchmark::State& state) {
    const int funds = static_cast<int>(state.range(0));
    PortalProcess portal({QStringLiteral("--latency"), QString::number(state.range(1))});
    if (portal.base().empty() || !StartWatching(portal.base(), funds)) {
        state.SkipWithError("the demo portal did not start or gave too short a list");
        StopWatching();
        return;
    }
    std::vector<Text> codes;
    for (const WatchlistRow& row : State().Views.watchlist.funds)
        codes.push_back(row.code);
    for (auto _ : state) {
        for (const Text& code : codes) {
            const MainPageAnswer page = FetchMainPage(code, nullptr);
            const ArchiveAnswer archive = FetchArchive(code, nullptr);
            const QuoteAnswer quotes = FetchQuotes(archive.holdings.stockIds, nullptr);
            benchmark::DoNotOptimize(page.readable && quotes.readable);
        }
    }
    StopWatching();
}

BENCHMARK(WatchlistFullRefresh)
    ->Args({50, 0})
    ->Args({50, 40})
    ->ArgNames({"funds", "latency"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK(WatchlistOneByOne)
    ->Args({50, 40})
    ->ArgNames({"funds", "latency"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(WatchlistQuotesRefresh)
    ->Args({50, 40})
    ->ArgNames({"funds", "latency"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
// The resident memory with many funds watched (the counter resident_mb).
BENCHMARK(WatchlistFullRefresh)
    ->Name("WatchlistManyFunds")
    ->Args({200, 40})
    ->ArgNames({"funds", "latency"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace fundlens

int main(int argc, char** argv) {
    return fundlens::bench::GuiBenchmarkMain(argc, argv);
}
