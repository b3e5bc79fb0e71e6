#include "analysis/holdings.h"

#include <cmath>

namespace fundlens {

namespace {

constexpr const char* SuspendedChange = "-";

Text NameOf(const Text& stockCode, const std::vector<StockQuote>& quotes) {
    for (const StockQuote& quote : quotes) {
        if (quote.code == stockCode)
            return quote.name;
    }
    return Text();
}

} // namespace

TopHoldings TopHoldingsOf(const ArchiveHoldings& archive, const std::vector<StockQuote>& quotes) {
    TopHoldings holdings;
    holdings.reportDate = archive.reportDate;
    for (const ArchiveRow& row : archive.rows) {
        if (!row.weightPct || !std::isfinite(*row.weightPct))
            continue;
        const Text name = row.stockName.empty() ? NameOf(row.stockCode, quotes) : row.stockName;
        holdings.stocks.push_back({row.stockCode, name, *row.weightPct});
    }
    return holdings;
}

std::vector<StockChange> StockChangesOf(const std::vector<StockQuote>& quotes) {
    std::vector<StockChange> changes;
    changes.reserve(quotes.size());
    for (const StockQuote& quote : quotes) {
        if (TrimBlanks(quote.change) == SuspendedChange) {
            changes.push_back({quote.code, std::nullopt});
            continue;
        }
        if (quote.changePct && std::isfinite(*quote.changePct))
            changes.push_back({quote.code, quote.changePct});
    }
    return changes;
}

} // namespace fundlens
