#include "analysis/risk_figures.h"
#include "expect_figure.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace fundlens {
namespace {

// Five yearly points from 2020-01-01 to 2024-01-01: 1461 days (2020 is a leap year), n = 4, so
// m = 365.25 * 4 / 1461 = 1 interval a year, the annual exponent is 365.25 / 1461 = 1/4 and
// the interval risk-free rate r_f equals R_f.
std::vector<SeriesPoint> Yearly(std::vector<double> cumulativePct) {
    static const char* const dates[] = {"2020-01-01", "2021-01-01", "2022-01-01", "2023-01-01",
                                        "2024-01-01"};
    std::vector<SeriesPoint> points;
    for (std::size_t k = 0; k < cumulativePct.size(); ++k)
        points.push_back({dates[k], cumulativePct[k]});
    return points;
}

struct Expected {
    std::optional<double> intervalReturn;
    std::optional<double> annualReturn;
    std::optional<double> annualVolatility;
    std::optional<double> sharpe;
    std::optional<double> sortino;
    std::optional<double> calmar;
    std::optional<double> drawdown; // its depth
    const char* peakDate = "";
    const char* troughDate = "";
    const char* recovery = ""; // RecoveryText, in UTF-8
};

void ExpectFigures(const RiskFigures& f, const Expected& e) {
    ExpectFigure(f.intervalReturn, e.intervalReturn, "区间收益");
    ExpectFigure(f.annualReturn, e.annualReturn, "年化收益");
    ExpectFigure(f.annualVolatility, e.annualVolatility, "年化波动");
    ExpectFigure(f.sharpe, e.sharpe, "夏普比率");
    ExpectFigure(f.sortino, e.sortino, "索提诺比率");
    ExpectFigure(f.calmar, e.calmar, "卡玛比率");
    ExpectFigure(f.maxDrawdown ? std::optional<double>(f.maxDrawdown->depth) : std::nullopt,
                 e.drawdown, "最大回撤");
    if (!f.maxDrawdown)
        return;
    EXPECT_EQ(f.maxDrawdown->peakDate, e.peakDate);
    EXPECT_EQ(f.maxDrawdown->troughDate, e.troughDate);
    EXPECT_EQ(TextToUtf8(RecoveryText(*f.maxDrawdown)), e.recovery);
}

TEST(ComputeRiskFigures, HandWorkedSeries) {
    const struct {
        const char* name;
        std::vector<SeriesPoint> points;
        double riskFreePct;
        Expected expected;
    } cases[] = {
        // r = 0 throughout: no spread; min(0, 0 - 0.015)^2 = 0.000225 each, downside 0.015,
        // Sortino (0 - 0.015) / 0.015 = -1; never falls.
        {"flat", Yearly({0, 0, 0, 0, 0}), 1.5, {0, 0, 0, std::nullopt, -1, std::nullopt, 0}},
        // Without a risk-free rate the flat curve has no shortfall either.
        {"flat without a risk-free rate",
         Yearly({0, 0, 0, 0, 0}),
         0,
         {0, 0, 0, std::nullopt, std::nullopt, std::nullopt, 0}},
        // W = 1, 1.21, 0.968, 1.21, 1.4641 (= 1.1^4): r = 0.21, -0.2, 0.25, 0.21.
        // Annual 1.4641^(1/4) - 1 = 0.1. Mean r 0.1175; squared deviations 0.00855625,
        // 0.10080625, 0.01755625, 0.00855625, sum 0.135475; spread sqrt(0.135475 / 3).
        // Sharpe (0.1 - 0.015) / 0.2125049; shortfalls below 0.015: only -0.215, so downside
        // sqrt(0.046225 / 4) = 0.1075 and Sortino 0.085 / 0.1075. Drawdown 1 - 0.968 / 1.21
        // = 0.2 from 2021 to 2022, back at 1.21 in 2023; Calmar 0.1 / 0.2.
        {"a single fall and recovery",
         Yearly({0, 21, -3.2, 21, 46.41}),
         1.5,
         {0.4641, 0.1, std::sqrt(0.135475 / 3), 0.085 / std::sqrt(0.135475 / 3), 0.085 / 0.1075,
          0.5, 0.2, "2021-01-01", "2022-01-01", "2023-01-01"}},
        // W = 1, 1.1, 1.21, 0.968, 1: r = 0.1, 0.1, -0.2, 1/0.968 - 1 = 0.0330579. Mean
        // 0.0082645; squared deviations 0.0084154, 0.0084154, 0.0433741, 0.0006147, sum
        // 0.0608196, spread sqrt(0.0608196 / 3) = 0.1423840. Annual 0, so Sharpe
        // -0.015 / 0.1423840 and Sortino -0.015 / 0.1075 (the one shortfall -0.215 as above);
        // drawdown 0.2 from 2022 to 2023, never back at 1.21; Calmar 0 / 0.2.
        {"a fall that never recovers",
         Yearly({0, 10, 21, -3.2, 0}),
         1.5,
         {0, 0, 0.142384006763913, -0.105348910603924, -0.015 / 0.1075, 0, 0.2, "2022-01-01",
          "2023-01-01", "未修复"}},
        // W = 1.1^k: every r is 0.1 (up to rounding), no spread, nothing below r_f, no fall.
        {"a constant rise",
         Yearly({0, 10, 21, 33.1, 46.41}),
         1.5,
         {0.4641, 0.1, 0, std::nullopt, std::nullopt, std::nullopt, 0}},
        // 334 days: nothing annualises, the volatility still does. W = 1, 1.1, 0.99, 1.045:
        // r = 0.1, -0.1, 0.0555556, mean 0.0185185, squared deviations 0.0066392, 0.0140466,
        // 0.0013717, spread sqrt(0.0220576 / 2) = 0.1050181; m = 365.25 * 3 / 334 = 3.2806886,
        // volatility 0.1050181 * sqrt(3.2806886) = 0.1902159.
        {"fewer than 350 days",
         {{"2023-01-01", 0}, {"2023-05-01", 10}, {"2023-09-01", -1}, {"2023-12-01", 4.5}},
         1.5,
         {0.045, std::nullopt, 0.190215878106631, std::nullopt, std::nullopt, std::nullopt, 0.1,
          "2023-05-01", "2023-09-01", "未修复"}},
        // Month 13: no span, so nothing that needs days; the rest stands.
        {"an unreadable first date",
         {{"2020-13-01", 0}, {"2021-01-01", 21}, {"2022-01-01", -3.2}, {"2024-01-01", 46.41}},
         1.5,
         {0.4641, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0.2,
          "2021-01-01", "2022-01-01", "2024-01-01"}},
        {"the last date before the first",
         {{"2024-01-01", 0}, {"2023-01-01", 10}, {"2020-01-01", 5}},
         1.5,
         {0.05, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
          1 - 1.05 / 1.1, "2023-01-01", "2020-01-01", "未修复"}},
        // W_0 = 0: nothing divides by it; the fall is measured from 0.5 on (none).
        {"W0 = 0",
         {{"2020-01-01", -100}, {"2022-01-01", -50}, {"2024-01-01", 0}},
         1.5,
         {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0}},
        // W = 1, 0, 1.1: r_2 divides by 0, so no spread; the growth is 1.1 (annual
        // 1.1^(1/4) - 1) and the fall a whole 1 - 0 / 1, recovered at 1.1.
        {"W falls to 0 and comes back",
         {{"2020-01-01", 0}, {"2022-01-01", -100}, {"2024-01-01", 10}},
         1.5,
         {0.1, 0.0241136890844451, std::nullopt, std::nullopt, std::nullopt, 0.0241136890844451, 1,
          "2020-01-01", "2022-01-01", "2024-01-01"}},
        {"a single point", {{"2020-01-01", 5}}, 1.5, {}},
        {"no points", {}, 1.5, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFigures(ComputeRiskFigures(c.points, c.riskFreePct), c.expected);
    }
    // The single point's drawdown is absent, not a fall of 0.
    EXPECT_FALSE(ComputeRiskFigures({{"2020-01-01", 5}}, 1.5).maxDrawdown);
}

TEST(ComputeRiskFigures, ANearOneYearCurveOf350DaysStillAnnualises) {
    // 2023-01-01 to 2023-12-17 is 350 days; to 2023-12-16, 349.
    const RiskFigures counted = ComputeRiskFigures({{"2023-01-01", 0}, {"2023-12-17", 10}}, 1.5);
    ExpectFigure(counted.annualReturn, std::pow(1.1, 365.25 / 350) - 1, "350 days");
    const RiskFigures short_ = ComputeRiskFigures({{"2023-01-01", 0}, {"2023-12-16", 10}}, 1.5);
    EXPECT_FALSE(short_.annualReturn);
    ExpectFigure(short_.intervalReturn, 0.1, "349 days");
}

TEST(ComputeRiskFigures, TheDeepestFallIsMeasuredFromTheLatestPointAtItsPeak) {
    // W = 1, 1.2, 1.08, 1.2, 0.9, 1.0: a fall of 0.1 recovered, then 1 - 0.9 / 1.2 = 0.25 from
    // the second time at 1.2.
    const RiskFigures f = ComputeRiskFigures({{"2020-01-01", 0},
                                              {"2020-06-01", 20},
                                              {"2021-01-01", 8},
                                              {"2021-06-01", 20},
                                              {"2022-01-01", -10},
                                              {"2023-01-01", 0}},
                                             1.5);
    ASSERT_TRUE(f.maxDrawdown);
    EXPECT_NEAR(f.maxDrawdown->depth, 0.25, FigureTolerance);
    EXPECT_EQ(f.maxDrawdown->peakDate, "2021-06-01");
    EXPECT_EQ(f.maxDrawdown->troughDate, "2022-01-01");
    EXPECT_FALSE(f.maxDrawdown->recoveryDate);
    EXPECT_EQ(RecoveryText(*f.maxDrawdown), "未修复"_gbk);
}

TEST(ComputeRiskFigures, RecoveryIsTheFirstDateBackAtThePeak) {
    // Peak 1.1 on 01-02, trough 0.95 on 01-03; 1.05 is not enough, 1.1 on 01-05 is.
    const RiskFigures f = ComputeRiskFigures({{"2024/01/01", 0},
                                              {"2024/01/02", 10},
                                              {"2024/01/03", -5},
                                              {"2024/01/04", 5},
                                              {"2024/01/05", 10},
                                              {"2024/01/08", 12}},
                                             1.5);
    ASSERT_TRUE(f.maxDrawdown);
    EXPECT_EQ(f.maxDrawdown->recoveryDate, Text("2024/01/05"));
}

// Whatever the input, a figure is absent or finite.
TEST(ComputeRiskFigures, NeverGivesNaNOrInfinity) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<double> cumulativePct;
        double riskFreePct;
    } cases[] = {
        {"a NaN point", {0, nan, 10, 20, 30}, 1.5},
        {"an infinite point", {0, 10, inf, 20, 30}, 1.5},
        {"an infinite end", {0, 10, 20, 30, inf}, 1.5},
        {"huge values", {0, 1e308, -1e308, 1e308, 1e300}, 1.5},
        {"below -100%", {0, -150, -200, -120, -300}, 1.5},
        {"a NaN risk-free rate", {0, 21, -3.2, 21, 46.41}, nan},
        {"a risk-free rate of -100%", {0, 21, -3.2, 21, 46.41}, -100},
        {"a huge risk-free rate", {0, 21, -3.2, 21, 46.41}, 1e308},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RiskFigures f = ComputeRiskFigures(Yearly(c.cumulativePct), c.riskFreePct);
        for (const std::optional<double>& figure :
             {f.intervalReturn, f.annualReturn, f.annualVolatility, f.sharpe, f.sortino,
              f.calmar}) {
            if (figure) {
                EXPECT_TRUE(std::isfinite(*figure)) << *figure;
            }
        }
        if (f.maxDrawdown) {
            EXPECT_TRUE(std::isfinite(f.maxDrawdown->depth));
        }
    }
}

TEST(IntervalReturns, AbsentWhereTheStartIsNotAboveZero) {
    const std::vector<std::optional<double>> r =
        IntervalReturns({{"", 0}, {"", 10}, {"", -100}, {"", -50}, {"", 10}});
    ASSERT_EQ(r.size(), 4u);
    ExpectFigure(r[0], 0.1, "1 -> 1.1");
    ExpectFigure(r[1], -1, "1.1 -> 0");
    ExpectFigure(r[2], std::nullopt, "0 -> 0.5");
    ExpectFigure(r[3], 1.2, "0.5 -> 1.1");
}

} // namespace
} // namespace fundlens
