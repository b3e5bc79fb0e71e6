#include "analysis/holdings_estimate.h"

#include "analysis/finite.h"

#include <cmath>
#include <set>

namespace fundlens {

namespace {

const StockChange* FindChange(const std::vector<StockChange>& changes, const Text& code) {
    for (const StockChange& change : changes) {
        if (change.stockCode == code)
            return &change;
    }
    return nullptr;
}

bool IsUsableWeight(double weightPct) {
    return std::isfinite(weightPct) && weightPct >= 0;
}

} // namespace

HoldingsEstimate EstimateFromHoldings(const TopHoldings& holdings,
                                      const std::vector<StockChange>& changes) {
    HoldingsEstimate estimate;
    std::set<Text> seen;
    double weighted = 0;
    double held = 0;
    for (const HoldingWeight& stock : holdings.stocks) {
        if (!IsUsableWeight(stock.weightPct) || !seen.insert(stock.stockCode).second)
            continue;
        held += stock.weightPct;
        const StockChange* change = FindChange(changes, stock.stockCode);
        if (!change || (change->changePct && !std::isfinite(*change->changePct))) {
            ++estimate.missing;
            continue;
        }
        ++estimate.stocksUsed;
        if (!change->changePct)
            ++estimate.suspended;
        weighted += stock.weightPct * change->changePct.value_or(0);
        estimate.coveredPct += stock.weightPct;
    }
    if (!(held > 0))
        estimate.gap = EstimateGap::NoStockHoldings;
    else if (!(estimate.coveredPct > 0))
        estimate.gap = EstimateGap::NoQuotes;
    else
        estimate.estimatePct = Finite(weighted / estimate.coveredPct);
    return estimate;
}

Text EstimateGapText(EstimateGap gap) {
    switch (gap) {
    case EstimateGap::None:
        return Text();
    case EstimateGap::NoStockHoldings:
        return "无股票持仓，无法估算"_gbk;
    case EstimateGap::NoQuotes:
        return "持仓股票无行情，无法估算"_gbk;
    }
    return Text();
}

} // namespace fundlens
