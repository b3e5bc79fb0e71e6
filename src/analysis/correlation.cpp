#include "analysis/correlation.h"

#include "analysis/finite.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

struct Pair {
    double a;
    double b;
};

std::vector<Pair> PairsOf(const std::vector<std::optional<double>>& a,
                          const std::vector<std::optional<double>>& b) {
    std::vector<Pair> pairs;
    const std::size_t length = std::min(a.size(), b.size());
    pairs.reserve(length);
    for (std::size_t k = 0; k < length; ++k) {
        if (a[k] && b[k] && std::isfinite(*a[k]) && std::isfinite(*b[k]))
            pairs.push_back({*a[k], *b[k]});
    }
    return pairs;
}

} // namespace

std::optional<double> Correlation(const std::vector<std::optional<double>>& a,
                                  const std::vector<std::optional<double>>& b) {
    const std::vector<Pair> pairs = PairsOf(a, b);
    if (pairs.size() < 2)
        return std::nullopt;
    double sumA = 0, sumB = 0;
    for (const Pair& p : pairs) {
        sumA += p.a;
        sumB += p.b;
    }
    const double count = static_cast<double>(pairs.size());
    const double meanA = sumA / count, meanB = sumB / count;
    double products = 0, squaresA = 0, squaresB = 0;
    for (const Pair& p : pairs) {
        products += (p.a - meanA) * (p.b - meanB);
        squaresA += (p.a - meanA) * (p.a - meanA);
        squaresB += (p.b - meanB) * (p.b - meanB);
    }
    // The spreads compared as standard deviations, so that what rounding leaves of a constant
    // series counts as no variation.
    const double spreadA = std::sqrt(squaresA / (count - 1));
    const double spreadB = std::sqrt(squaresB / (count - 1));
    if (!(spreadA > ZeroSpread) || !(spreadB > ZeroSpread))
        return std::nullopt;
    const std::optional<double> r = Finite(products / std::sqrt(squaresA * squaresB));
    if (!r)
        return std::nullopt;
    return std::clamp(*r, -1.0, 1.0);
}

std::vector<std::vector<std::optional<double>>>
CorrelationMatrix(const std::vector<std::vector<SeriesPoint>>& curves) {
    std::vector<std::vector<std::optional<double>>> returns;
    returns.reserve(curves.size());
    for (const std::vector<SeriesPoint>& curve : curves)
        returns.push_back(IntervalReturns(curve));
    std::vector<std::vector<std::optional<double>>> matrix(
        curves.size(), std::vector<std::optional<double>>(curves.size()));
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (Correlation(returns[i], returns[i]))
            matrix[i][i] = 1.0;
        for (std::size_t j = i + 1; j < curves.size(); ++j) {
            matrix[i][j] = Correlation(returns[i], returns[j]);
            matrix[j][i] = matrix[i][j];
        }
    }
    return matrix;
}

} // namespace fundlens
