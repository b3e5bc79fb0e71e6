// A watched position valued at today's NAV: market value, today's gain, holding gain and its
// rate, and the watchlist's totals row.
//
// Changes come in percent (as the portal and the estimate give them); the gain rates are
// fractions (0.1234 is 12.34%). A figure whose inputs are absent is absent.
#pragma once

#include "analysis/records.h"

#include <optional>
#include <vector>

namespace fundlens {

// What a row knows of the fund's NAV today.
struct NavToday {
    std::optional<double> nav;         // the position is valued at it (in the session: estimated)
    std::optional<double> previousNav; // the NAV of the trading day before
    std::optional<double> changePct;   // today's change, estimated or confirmed
};

// previous NAV x (1 + estimate / 100); absent when either is absent or the result is not above 0.
std::optional<double> EstimatedNav(std::optional<double> previousNav,
                                   std::optional<double> estimatePct);

// During the session: the last confirmed NAV is the previous one, valued at the estimated NAV.
NavToday EstimatedNavToday(std::optional<double> previousNav, std::optional<double> estimatePct);

// Once the day's NAV is out: the NAV and its daily change as the fund's page gives them; the
// previous NAV is nav / (1 + change / 100).
NavToday ConfirmedNavToday(std::optional<double> nav, std::optional<double> changePct);

struct PositionFigures {
    double cost = 0;
    std::optional<double> marketValue; // shares x NAV
    std::optional<double> todayGain;   // shares x previous NAV x change / 100
    std::optional<double> holdingGain; // market value - cost
    std::optional<double> returnRate;  // 收益率: holding gain / cost; absent when cost is 0
};

// A position with no shares is worth 0 and gained 0 whatever the NAV; its rate is absent.
PositionFigures ValuePosition(const Position& position, const NavToday& today);

struct PositionTotals {
    double cost = 0;
    std::optional<double> marketValue;
    std::optional<double> todayGain;
    std::optional<double> holdingGain;
    std::optional<double> returnRate; // total holding gain / total cost
};

// The sums of the rows. A sum is absent when one of its rows' figures is: a total that leaves
// out a fund would look complete and be wrong.
PositionTotals TotalOf(const std::vector<PositionFigures>& rows);

} // namespace fundlens
