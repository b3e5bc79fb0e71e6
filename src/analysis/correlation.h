// Pearson correlation of funds' interval returns, pair by pair, for the comparison basket.
#pragma once

#include "analysis/return_series.h"

#include <optional>
#include <vector>

namespace fundlens {

// The correlation of two return lists paired by index over their common length; a pair with
// either return absent is left out. Absent with fewer than two pairs or when either side does
// not vary. Within [-1, 1].
std::optional<double> Correlation(const std::vector<std::optional<double>>& a,
                                  const std::vector<std::optional<double>>& b);

// A square matrix over the funds' curves (the curves of one basket answer share their dates):
// cell [i][j] is the correlation of fund i's and fund j's interval returns, symmetric, the
// diagonal 1 where a fund's returns vary. An empty curve (its answer failed) gives an absent
// row and column.
std::vector<std::vector<std::optional<double>>>
CorrelationMatrix(const std::vector<std::vector<SeriesPoint>>& curves);

} // namespace fundlens
