// The intraday estimate of a fund's change from its latest-quarter top ten and the stocks' live
// changes: est = sum w_i chg_i / sum w_i, covered = sum w_i.
#pragma once

#include "analysis/holdings.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// Why there is no estimate.
enum class EstimateGap {
    None,            // there is an estimate
    NoStockHoldings, // the fund reports no stock holdings (a bond or money fund, or none yet)
    NoQuotes,        // none of its stocks is in the quote answer
};

struct HoldingsEstimate {
    std::optional<double> estimatePct; // the estimated change today, in percent
    double coveredPct = 0;             // the weight of the stocks summed, in percent of net assets
    int stocksUsed = 0;                // stocks in the sum, the suspended ones included
    int suspended = 0;                 // of those, suspended: counted as 0 change
    int missing = 0; // stocks the quote answer leaves out: neither summed nor covered
    EstimateGap gap = EstimateGap::None;
};

// The estimate of a fund from its top ten and the quotes, paired by stock code. A stock listed
// twice in either counts once (its first entry); a weight that is negative or not finite, and a
// change that is not finite, are not used.
HoldingsEstimate EstimateFromHoldings(const TopHoldings& holdings,
                                      const std::vector<StockChange>& changes);

// What the caller shows where the estimate is absent (GBK); empty for EstimateGap::None.
Text EstimateGapText(EstimateGap gap);

} // namespace fundlens
