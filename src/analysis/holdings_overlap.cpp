#include "analysis/holdings_overlap.h"

#include "analysis/dates.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

bool IsHolding(const HoldingWeight& stock) {
    return std::isfinite(stock.weightPct) && stock.weightPct >= 0;
}

// The first usable entry of `code` in the list, or null.
const HoldingWeight* FindStock(const TopHoldings& holdings, const Text& code) {
    for (const HoldingWeight& stock : holdings.stocks) {
        if (stock.stockCode == code && IsHolding(stock))
            return &stock;
    }
    return nullptr;
}

// Dates compare as days where both are readable ("2024/09/30" is "2024-09-30"), else as texts.
bool SameReportDate(const Text& a, const Text& b) {
    const std::optional<int> dayA = ReadDay(a);
    const std::optional<int> dayB = ReadDay(b);
    if (dayA && dayB)
        return *dayA == *dayB;
    return a == b;
}

} // namespace

HoldingsOverlap OverlapOf(const TopHoldings& a, const TopHoldings& b) {
    HoldingsOverlap overlap;
    overlap.reportDatesDiffer = !SameReportDate(a.reportDate, b.reportDate);
    for (const HoldingWeight& stock : a.stocks) {
        if (FindStock(a, stock.stockCode) != &stock)
            continue; // unusable, or listed before
        const HoldingWeight* other = FindStock(b, stock.stockCode);
        if (!other)
            continue;
        const Text& name = stock.stockName.empty() ? other->stockName : stock.stockName;
        overlap.common.push_back({stock.stockCode, name, stock.weightPct, other->weightPct});
        overlap.overlapPct += std::min(stock.weightPct, other->weightPct);
    }
    overlap.commonCount = static_cast<int>(overlap.common.size());
    return overlap;
}

std::vector<std::vector<std::optional<HoldingsOverlap>>>
OverlapMatrix(const std::vector<std::optional<TopHoldings>>& funds) {
    std::vector<std::vector<std::optional<HoldingsOverlap>>> matrix(
        funds.size(), std::vector<std::optional<HoldingsOverlap>>(funds.size()));
    for (std::size_t i = 0; i < funds.size(); ++i) {
        for (std::size_t j = 0; j < funds.size(); ++j) {
            if (funds[i] && funds[j])
                matrix[i][j] = OverlapOf(*funds[i], *funds[j]);
        }
    }
    return matrix;
}

} // namespace fundlens
