#include "analysis/return_series.h"

#include "analysis/finite.h"

namespace fundlens {

std::vector<std::optional<double>> IntervalReturns(const std::vector<SeriesPoint>& points) {
    std::vector<std::optional<double>> returns;
    if (points.size() < 2)
        return returns;
    returns.reserve(points.size() - 1);
    for (std::size_t k = 1; k < points.size(); ++k) {
        const double start = Wealth(points[k - 1]);
        if (start > 0)
            returns.push_back(Finite(Wealth(points[k]) / start - 1));
        else
            returns.push_back(std::nullopt);
    }
    return returns;
}

} // namespace fundlens
