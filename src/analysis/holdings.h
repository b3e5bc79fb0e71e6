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

// The number of a figure text such as "9.83", "-1.23" or "9.83%" (ASCII, blanks around it
// allowed); nothing for an empty text, "-", "--" or anything else.
std::optional<double> ReadPercent(const Text& text);

// The archive's latest-quarter rows with their weights read; a row whose weight is unreadable
// is left out (it can neither be summed nor compared). Names come from the quote of the same
// stock code where there is one.
TopHoldings TopHoldingsOf(const ArchiveHoldings& archive, const std::vector<StockQuote>& quotes,
                          const Text& reportDate);

// The quotes' changes: "-" is a suspended stock; a quote whose change is otherwise unreadable
// is left out, as a stock the answer does not list.
std::vector<StockChange> StockChangesOf(const std::vector<StockQuote>& quotes);

} // namespace fundlens
