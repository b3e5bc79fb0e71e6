// The risk table of one fund's cumulative-return curve over a period: interval and annual
// return, annual volatility, the largest drawdown with its dates, and the Sharpe, Sortino and
// Calmar ratios.
//
// Returns, volatility and drawdown are fractions (0.1234 is 12.34%); the ratios have no unit.
// A figure that cannot be formed is absent, never NaN or infinity.
#pragma once

#include "analysis/return_series.h"
#include "portal/profile.h" // DefaultRiskFreePct: the profile's rate when it names none
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// Figures that annualise need a curve of at least this many calendar days: a "near one year"
// curve starts at the first trading day after the year-ago date and still counts.
inline constexpr int MinAnnualisedDays = 350;

struct MaxDrawdown {
    double depth = 0;                 // 1 - W_trough / W_peak; 0 when the curve never falls
    Text peakDate;                    // empty when depth is 0
    Text troughDate;                  // empty when depth is 0
    std::optional<Text> recoveryDate; // the first date after the trough with W >= W_peak
};

struct RiskFigures {
    std::optional<double> intervalReturn;   // 区间收益: W_n / W_0 - 1
    std::optional<double> annualReturn;     // 年化收益: (W_n / W_0)^(365.25 / days) - 1
    std::optional<double> annualVolatility; // 年化波动: sample deviation of r x sqrt(m)
    std::optional<MaxDrawdown> maxDrawdown; // 最大回撤: absent when no W is above 0
    std::optional<double> sharpe;           // 夏普比率
    std::optional<double> sortino;          // 索提诺比率
    std::optional<double> calmar;           // 卡玛比率
};

// The figures of the points (date, cumulative return in percent) k = 0 ... n, with days the
// calendar days from the first date to the last and m = 365.25 n / days intervals a year.
// `riskFreePct` is the risk-free rate in percent a year. Linear in the number of points.
// Absent: everything with fewer than two points; the annualising figures (年化收益 and the
// three ratios) below MinAnnualisedDays; what needs days when the first or last date is
// unreadable or not before the other; what divides by a W at or below 0 or by a zero spread,
// drawdown or downside deviation; the volatility with fewer than two returns.
RiskFigures ComputeRiskFigures(const std::vector<SeriesPoint>& points, double riskFreePct);

// The recovery cell: the recovery date, "未修复" when the curve never got back to its peak, and
// empty when it never fell.
Text RecoveryText(const MaxDrawdown& drawdown);

} // namespace fundlens
