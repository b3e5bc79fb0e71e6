// How far a fund's holdings estimate has been from its confirmed change: the median absolute
// error over its recent trading days, for the watchlist's tooltip.
#pragma once

#include "analysis/records.h"

#include <optional>
#include <vector>

namespace fundlens {

// The trading days the error is taken over, the latest first, and the fewest that give one.
inline constexpr int EstimateErrorDays = 20;
inline constexpr int MinEstimateErrorDays = 5;

// The median of |estimate - confirmed| in percentage points over the latest EstimateErrorDays
// records (by trade date) that have both; absent with fewer than MinEstimateErrorDays of them.
// Records whose trade date is unreadable, or whose figures are not finite, are passed over; of
// two records of one date the later in the list counts.
std::optional<double> MedianAbsoluteError(const std::vector<EstimateRecord>& records);

} // namespace fundlens
