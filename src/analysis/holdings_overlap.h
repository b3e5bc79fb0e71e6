// How much two funds hold of the same stocks: the overlap of their latest-quarter top tens, for
// the comparison basket's overlap matrix and its tooltips.
#pragma once

#include "analysis/holdings.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// A stock both funds hold, with each fund's weight in percent.
struct CommonStock {
    Text stockCode;
    Text stockName; // as fund A's list names it (fund B's when A's is empty)
    double weightPctA = 0;
    double weightPctB = 0;
};

struct HoldingsOverlap {
    double overlapPct = 0;           // sum over the common stocks of min(weight A, weight B)
    int commonCount = 0;             // the number of stocks both hold
    std::vector<CommonStock> common; // in fund A's order
    bool reportDatesDiffer = false;  // the two top tens are of different quarters
};

// The overlap of two top tens, paired by stock code. A code listed twice in one fund counts
// once (its first weight); a weight that is negative or not finite is no holding.
HoldingsOverlap OverlapOf(const TopHoldings& a, const TopHoldings& b);

// A square matrix over the funds: cell [i][j] is OverlapOf(fund i, fund j), the diagonal a
// fund against itself. A fund whose holdings are unknown (absent) gives an absent row and column.
std::vector<std::vector<std::optional<HoldingsOverlap>>>
OverlapMatrix(const std::vector<std::optional<TopHoldings>>& funds);

} // namespace fundlens
