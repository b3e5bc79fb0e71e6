// A fund's cumulative-return curve over a period, as the compare endpoint gives it, and the
// returns of its intervals.
#pragma once

#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// One point of the curve: the date text ("YYYY/MM/DD" or "YYYY-MM-DD") and the cumulative return
// since the period's start, in percent.
struct SeriesPoint {
    Text date;
    double cumulativePct = 0;
};

// The value of one unit invested at the period's start: W = 1 + C/100.
inline double Wealth(const SeriesPoint& point) {
    return 1 + point.cumulativePct / 100;
}

// The returns of the intervals as fractions, r_k = W_k / W_(k-1) - 1 for k = 1 ... n (n values
// for n + 1 points). A return whose start W_(k-1) is 0 or below, or that is not finite, is absent.
std::vector<std::optional<double>> IntervalReturns(const std::vector<SeriesPoint>& points);

} // namespace fundlens
