// A fund's latest-quarter top ten as numbers, and the portal's holdings and quote texts read
// into them: what the holdings overlap and the holdings estimate work on.
#pragma once

#include "portal/fund_holdings.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// One stock of a fund's top ten.
struct HoldingWeight {
    Text stockCode; // "600519", "00700": holdings are paired across funds and quotes by it
    Text stockName;
    double weightPct = 0; // share of the fund's net assets, in percent
};

struct TopHoldings {
    Text reportDate;                   // the quarter's report date as the portal gives it
    std::vector<HoldingWeight> stocks; // in the portal's order
};

// A stock's change today as the quote answer gives it.
struct StockChange {
    Text stockCode;
    std::optional<double> changePct; // absent: suspended (no trade today)
};

// The archive's latest-quarter rows with their weights; a row whose weight is no number is left
// out (it can neither be summed nor compared). A stock's name is the archive's, else the one of
// its quote.
TopHoldings TopHoldingsOf(const ArchiveHoldings& archive, const std::vector<StockQuote>& quotes);

// The quotes' changes: "-" is a suspended stock; a quote whose change is otherwise unreadable
// is left out, as a stock the answer does not list.
std::vector<StockChange> StockChangesOf(const std::vector<StockQuote>& quotes);

} // namespace fundlens
