#include "analysis/valuation.h"

#include "analysis/finite.h"

namespace fundlens {

namespace {

// A NAV: finite and above 0, or absent.
std::optional<double> UsableNav(std::optional<double> nav) {
    nav = Finite(nav);
    if (!nav || !(*nav > 0))
        return std::nullopt;
    return nav;
}

std::optional<double> RateOf(std::optional<double> gain, double cost) {
    if (!gain || !(cost > 0))
        return std::nullopt;
    return Finite(*gain / cost);
}

// a + b, absent when either is.
std::optional<double> Add(std::optional<double> a, std::optional<double> b) {
    return a && b ? Finite(*a + *b) : std::nullopt;
}

} // namespace

std::optional<double> EstimatedNav(std::optional<double> previousNav,
                                   std::optional<double> estimatePct) {
    previousNav = UsableNav(previousNav);
    estimatePct = Finite(estimatePct);
    if (!previousNav || !estimatePct)
        return std::nullopt;
    return UsableNav(*previousNav * (1 + *estimatePct / 100));
}

NavToday EstimatedNavToday(std::optional<double> previousNav, std::optional<double> estimatePct) {
    return {EstimatedNav(previousNav, estimatePct), UsableNav(previousNav), Finite(estimatePct)};
}

NavToday ConfirmedNavToday(std::optional<double> nav, std::optional<double> changePct) {
    NavToday today{UsableNav(nav), std::nullopt, Finite(changePct)};
    if (today.nav && today.changePct)
        today.previousNav = UsableNav(*today.nav / (1 + *today.changePct / 100));
    return today;
}

PositionFigures ValuePosition(const Position& position, const NavToday& today) {
    PositionFigures figures;
    figures.cost = position.cost;
    if (!(position.shares > 0)) {
        figures.marketValue = 0.0;
        figures.todayGain = 0.0;
        figures.holdingGain = Finite(-position.cost);
        figures.returnRate = RateOf(figures.holdingGain, position.cost);
        return figures;
    }
    const std::optional<double> nav = UsableNav(today.nav);
    const std::optional<double> previous = UsableNav(today.previousNav);
    const std::optional<double> change = Finite(today.changePct);
    if (nav)
        figures.marketValue = Finite(position.shares * *nav);
    if (previous && change)
        figures.todayGain = Finite(position.shares * *previous * *change / 100);
    if (figures.marketValue)
        figures.holdingGain = Finite(*figures.marketValue - position.cost);
    figures.returnRate = RateOf(figures.holdingGain, position.cost);
    return figures;
}

PositionTotals TotalOf(const std::vector<PositionFigures>& rows) {
    PositionTotals totals;
    totals.marketValue = 0.0;
    totals.todayGain = 0.0;
    for (const PositionFigures& row : rows) {
        totals.cost += row.cost;
        totals.marketValue = Add(totals.marketValue, row.marketValue);
        totals.todayGain = Add(totals.todayGain, row.todayGain);
    }
    if (totals.marketValue)
        totals.holdingGain = Finite(*totals.marketValue - totals.cost);
    totals.returnRate = RateOf(totals.holdingGain, totals.cost);
    return totals;
}

} // namespace fundlens
