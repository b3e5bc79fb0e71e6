// Ranking pages served per second by the demo portal over loopback with keep-alive, and the
// costs behind them (market generation, rendering a page without the network).
#include "demo-portal/calendar.h"
#include "demo-portal/demo_portal.h"
#include "demo-portal/market_clock.h"
#include "demo-portal/ranking.h"
#include "demo-portal/site.h"
#include "demo-portal/universe.h"
#include "web/web_request.h"

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <memory>
#include <mutex>

namespace {

using namespace fundlens::demo;

DemoPortal& SharedPortal() {
    static std::once_flag once;
    static std::unique_ptr<DemoPortal> portal;
    std::call_once(once, [] {
        PortalOptions options;
        options.date = "2026-12-08";
        portal = std::make_unique<DemoPortal>(options);
        portal->Start();
    });
    return *portal;
}

// The pages a user's list loads cycle through: the five-star list and a sector, sorted.
std::string RankingPath(std::int64_t i) {
    static const char* const keys[] = {"jn", "3y", "r", "1n"};
    const std::string page = std::to_string(i % 13 + 1);
    if (i % 2 == 0) {
        return "/data/FundGuideapi.aspx?dt=4&sd=&ed=&rt=sz,5&sc=" + std::string(keys[i % 4]) +
               "&st=desc&pi=" + page + "&pn=20&zf=diy&sh=list&rnd=0.01942454964583651";
    }
    return "/data/FundGuideapi.aspx?dt=4&sd=&ed=&tp=BK0896&sc=3y&st=desc&pi=" +
           std::to_string(i % 3 + 1) + "&pn=20&zf=diy&sh=list&rnd=0.6496325281618789";
}

void BM_RankingPagesKeepAlive(benchmark::State& state) {
    DemoPortal& portal = SharedPortal();
    httplib::Client client("127.0.0.1", portal.Port());
    client.set_keep_alive(true);
    std::int64_t i = state.thread_index();
    for (auto _ : state) {
        auto result = client.Get(RankingPath(i++).c_str());
        if (!result || result->status != 200 || result->body.size() < 100) {
            state.SkipWithError("ranking request failed");
            break;
        }
        benchmark::DoNotOptimize(result->body.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RankingPagesKeepAlive)->Threads(1)->Threads(2)->UseRealTime();

// The same through the program's own request routine (connection kept per thread).
void BM_RankingPagesWebRequest(benchmark::State& state) {
    const std::string base = SharedPortal().BaseUrl();
    std::int64_t i = 0;
    for (auto _ : state) {
        const fundlens::Text answer = fundlens::WebRequest(base + RankingPath(i++));
        if (answer.size() < 100) {
            state.SkipWithError("ranking request failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RankingPagesWebRequest)->UseRealTime();

void BM_RenderRankingPage(benchmark::State& state) {
    const Universe& universe = SharedPortal().universe();
    const RankingIndex ranking(universe);
    std::int64_t i = 0;
    for (auto _ : state) {
        const std::string path = RankingPath(i++);
        benchmark::DoNotOptimize(ranking.Serve(Query(path.substr(path.find('?') + 1))));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderRankingPage);

void BM_GenerateMarket(benchmark::State& state) {
    const int day = *ParseDay("2026-12-08");
    std::uint64_t seed = 1;
    for (auto _ : state) {
        Universe universe(seed++, day);
        benchmark::DoNotOptimize(universe.Funds().data());
    }
}
BENCHMARK(BM_GenerateMarket)->Unit(benchmark::kMillisecond);

// The market on the clock, as the program builds it at its start: the histories, then the last
// trading days from the funds' portfolios.
void BM_GenerateMarketOnTheClock(benchmark::State& state) {
    const TradingDay day = TradingDayAt(*ParseChinaTime("2026-12-08 10:00"));
    std::uint64_t seed = 1;
    for (auto _ : state) {
        Universe universe(seed++, day);
        benchmark::DoNotOptimize(universe.Funds().data());
    }
}
BENCHMARK(BM_GenerateMarketOnTheClock)->Unit(benchmark::kMillisecond);

// Everything a start builds before the first answer: the market, the ranking and the pages.
void BM_BuildSiteOnTheClock(benchmark::State& state) {
    const TradingDay day = TradingDayAt(*ParseChinaTime("2026-12-08 10:00"));
    std::uint64_t seed = 1;
    for (auto _ : state) {
        PortalSite site(seed++, day, 4);
        benchmark::DoNotOptimize(&site.universe());
    }
}
BENCHMARK(BM_BuildSiteOnTheClock)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
