#include "analysis/risk_figures.h"

#include "analysis/dates.h"
#include "analysis/finite.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

constexpr double DaysPerYear = 365.25;

// What the annualising figures share: the span of the curve and the intervals a year.
struct Span {
    std::optional<int> days;       // absent when the dates are unreadable or out of order
    std::optional<double> perYear; // m
    bool annualises = false;       // days >= MinAnnualisedDays
};

Span SpanOf(const std::vector<SeriesPoint>& points) {
    Span span;
    const std::optional<int> days = DaysBetween(points.front().date, points.back().date);
    if (!days || *days <= 0)
        return span;
    span.days = days;
    span.perYear = DaysPerYear * static_cast<double>(points.size() - 1) / *days;
    span.annualises = *days >= MinAnnualisedDays;
    return span;
}

// W_n / W_0, absent when W_0 is not above 0.
std::optional<double> GrowthOf(const std::vector<SeriesPoint>& points) {
    const double start = Wealth(points.front());
    if (!(start > 0))
        return std::nullopt;
    return Finite(Wealth(points.back()) / start);
}

std::optional<double> AnnualReturn(std::optional<double> growth, const Span& span) {
    if (!growth || !span.annualises || *growth < 0)
        return std::nullopt;
    return Finite(std::pow(*growth, DaysPerYear / *span.days) - 1);
}

// The sample standard deviation of the returns (n - 1 in the denominator); absent when one of
// them is absent or there are fewer than two. A spread within ZeroSpread is 0.
std::optional<double> SampleSpread(const std::vector<std::optional<double>>& returns) {
    if (returns.size() < 2)
        return std::nullopt;
    double sum = 0;
    for (const std::optional<double>& r : returns) {
        if (!r)
            return std::nullopt;
        sum += *r;
    }
    const double mean = sum / static_cast<double>(returns.size());
    double squares = 0;
    for (const std::optional<double>& r : returns)
        squares += (*r - mean) * (*r - mean);
    const std::optional<double> spread =
        Finite(std::sqrt(squares / static_cast<double>(returns.size() - 1)));
    if (spread && *spread <= ZeroSpread)
        return 0.0;
    return spread;
}

// sqrt(mean over the n returns of min(0, r_k - r_f)^2), with r_f the risk-free rate of one
// interval; absent when a return is absent.
std::optional<double> DownsideSpread(const std::vector<std::optional<double>>& returns,
                                     double intervalRiskFree) {
    if (returns.empty())
        return std::nullopt;
    double squares = 0;
    for (const std::optional<double>& r : returns) {
        if (!r)
            return std::nullopt;
        const double shortfall = std::min(0.0, *r - intervalRiskFree);
        squares += shortfall * shortfall;
    }
    return Finite(std::sqrt(squares / static_cast<double>(returns.size())));
}

// (annual return - R_f) / the spread annualised; absent when the spread is (close to) zero.
std::optional<double> ExcessOver(std::optional<double> annual, double riskFree,
                                 std::optional<double> spread, double perYear) {
    if (!annual || !spread || *spread <= ZeroSpread)
        return std::nullopt;
    return Finite((*annual - riskFree) / (*spread * std::sqrt(perYear)));
}

std::optional<double> Sortino(const std::vector<std::optional<double>>& returns,
                              std::optional<double> annual, double riskFree, const Span& span) {
    if (!annual || !span.perYear || !(1 + riskFree > 0))
        return std::nullopt;
    const std::optional<double> intervalRiskFree =
        Finite(std::pow(1 + riskFree, 1 / *span.perYear) - 1);
    if (!intervalRiskFree)
        return std::nullopt;
    return ExcessOver(annual, riskFree, DownsideSpread(returns, *intervalRiskFree), *span.perYear);
}

std::optional<Text> RecoveryAfter(const std::vector<SeriesPoint>& points, std::size_t trough,
                                  double peakWealth) {
    for (std::size_t k = trough + 1; k < points.size(); ++k) {
        if (Wealth(points[k]) >= peakWealth)
            return points[k].date;
    }
    return std::nullopt;
}

// One pass for the deepest fall below the running peak (the latest point that reached it),
// a second from its trough for the recovery. Points whose W is not finite are passed over, and
// so are falls from a peak at or below 0.
std::optional<MaxDrawdown> MaxDrawdownOf(const std::vector<SeriesPoint>& points) {
    std::optional<std::size_t> peak;
    std::size_t deepestPeak = 0, deepestTrough = 0;
    double deepest = 0;
    bool measured = false;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double w = Wealth(points[k]);
        if (!std::isfinite(w))
            continue;
        if (!peak || w >= Wealth(points[*peak]))
            peak = k;
        const double peakWealth = Wealth(points[*peak]);
        if (peakWealth <= 0)
            continue;
        measured = true;
        const double depth = 1 - w / peakWealth;
        if (depth > deepest) {
            deepest = depth;
            deepestPeak = *peak;
            deepestTrough = k;
        }
    }
    if (!measured)
        return std::nullopt;
    MaxDrawdown drawdown;
    if (deepest <= 0)
        return drawdown;
    drawdown.depth = deepest;
    drawdown.peakDate = points[deepestPeak].date;
    drawdown.troughDate = points[deepestTrough].date;
    drawdown.recoveryDate = RecoveryAfter(points, deepestTrough, Wealth(points[deepestPeak]));
    return drawdown;
}

std::optional<double> Calmar(std::optional<double> annual,
                             const std::optional<MaxDrawdown>& drawdown) {
    if (!annual || !drawdown || !(drawdown->depth > 0))
        return std::nullopt;
    return Finite(*annual / drawdown->depth);
}

} // namespace

RiskFigures ComputeRiskFigures(const std::vector<SeriesPoint>& points, double riskFreePct) {
    RiskFigures figures;
    if (points.size() < 2)
        return figures;
    const Span span = SpanOf(points);
    const std::vector<std::optional<double>> returns = IntervalReturns(points);
    const std::optional<double> growth = GrowthOf(points);
    const double riskFree = std::isfinite(riskFreePct) ? riskFreePct / 100 : NAN;
    figures.intervalReturn = growth ? Finite(*growth - 1) : std::nullopt;
    figures.annualReturn = AnnualReturn(growth, span);
    const std::optional<double> spread = SampleSpread(returns);
    if (spread && span.perYear)
        figures.annualVolatility = Finite(*spread * std::sqrt(*span.perYear));
    figures.maxDrawdown = MaxDrawdownOf(points);
    if (span.perYear && std::isfinite(riskFree)) {
        figures.sharpe = ExcessOver(figures.annualReturn, riskFree, spread, *span.perYear);
        figures.sortino = Sortino(returns, figures.annualReturn, riskFree, span);
    }
    figures.calmar = Calmar(figures.annualReturn, figures.maxDrawdown);
    return figures;
}

Text RecoveryText(const MaxDrawdown& drawdown) {
    if (!(drawdown.depth > 0))
        return Text();
    return drawdown.recoveryDate ? *drawdown.recoveryDate : "未修复"_gbk;
}

} // namespace fundlens
