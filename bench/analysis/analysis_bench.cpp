// The comparison basket's arithmetic at its largest: eight funds' three-year daily curves and
// top tens. Target: the risk tables, the correlation matrix and the overlap matrix together in
// under 2 ms.
#include "analysis/correlation.h"
#include "analysis/dates.h"
#include "analysis/holdings_overlap.h"
#include "analysis/risk_figures.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>

namespace fundlens {
namespace {

constexpr int BasketFunds = 8;
constexpr int CurvePoints = 750; // three years of trading days
constexpr int TopTen = 10;
constexpr int StockPool = 30; // top tens drawn from this many stocks, so that they overlap
constexpr double RiskFreePct = 1.5;

// A small deterministic generator: the same curves on every run.
struct Lcg {
    std::uint64_t state;
    double Next() { // uniform in [0, 1)
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    }
};

std::vector<SeriesPoint> Curve(int fund) {
    Lcg random{static_cast<std::uint64_t>(fund) + 1};
    std::vector<SeriesPoint> points;
    int day = *ReadDay("2021-01-04");
    double wealth = 1;
    while (static_cast<int>(points.size()) < CurvePoints) {
        if (!IsWeekend(day)) {
            points.push_back({DayText(day), (wealth - 1) * 100});
            wealth *= 1 + (random.Next() - 0.49) * 0.04;
        }
        ++day;
    }
    return points;
}

TopHoldings Holdings(int fund) {
    Lcg random{static_cast<std::uint64_t>(fund) + 100};
    TopHoldings holdings{fund % 3 ? "2024-09-30" : "2024-06-30", {}};
    for (int k = 0; k < TopTen; ++k) {
        const int stock = static_cast<int>(random.Next() * StockPool);
        holdings.stocks.push_back(
            {std::to_string(600000 + stock), "股票"_gbk, std::round(random.Next() * 1000) / 100});
    }
    return holdings;
}

const std::vector<std::vector<SeriesPoint>>& Curves() {
    static const std::vector<std::vector<SeriesPoint>> curves = [] {
        std::vector<std::vector<SeriesPoint>> all;
        for (int fund = 0; fund < BasketFunds; ++fund)
            all.push_back(Curve(fund));
        return all;
    }();
    return curves;
}

const std::vector<std::optional<TopHoldings>>& TopTens() {
    static const std::vector<std::optional<TopHoldings>> tops = [] {
        std::vector<std::optional<TopHoldings>> all;
        for (int fund = 0; fund < BasketFunds; ++fund)
            all.push_back(Holdings(fund));
        return all;
    }();
    return tops;
}

void RiskTables(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::vector<SeriesPoint>& curve : Curves())
            benchmark::DoNotOptimize(ComputeRiskFigures(curve, RiskFreePct));
    }
}
BENCHMARK(RiskTables)->Unit(benchmark::kMicrosecond);

void Correlations(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CorrelationMatrix(Curves()));
}
BENCHMARK(Correlations)->Unit(benchmark::kMicrosecond);

void Overlaps(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(OverlapMatrix(TopTens()));
}
BENCHMARK(Overlaps)->Unit(benchmark::kMicrosecond);

// The whole basket: what one period button costs in arithmetic. Target < 2 ms.
void WholeBasket(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::vector<SeriesPoint>& curve : Curves())
            benchmark::DoNotOptimize(ComputeRiskFigures(curve, RiskFreePct));
        benchmark::DoNotOptimize(CorrelationMatrix(Curves()));
        benchmark::DoNotOptimize(OverlapMatrix(TopTens()));
    }
}
BENCHMARK(WholeBasket)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace fundlens
