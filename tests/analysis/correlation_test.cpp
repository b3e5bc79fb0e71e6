#include "analysis/correlation.h"
#include "expect_figure.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

using Returns = std::vector<std::optional<double>>;

TEST(Correlation, HandWorkedPairs) {
    const std::optional<double> none;
    const struct {
        const char* name;
        Returns a;
        Returns b;
        std::optional<double> expected;
    } cases[] = {
        {"a series with itself", {0.01, -0.02, 0.03, 0.005}, {0.01, -0.02, 0.03, 0.005}, 1},
        {"with its negation", {0.01, -0.02, 0.03, 0.005}, {-0.01, 0.02, -0.03, -0.005}, -1},
        // Deviations a: -1.5 -0.5 0.5 1.5, b: -3 -1 0 4; products sum 4.5 + 0.5 + 0 + 6 = 11,
        // squares 5 and 26: 11 / sqrt(130).
        {"hand-worked", {1, 2, 3, 4}, {2, 4, 5, 9}, 11 / std::sqrt(130.0)},
        // The common length: the 99 has no partner.
        {"different lengths", {1, 2, 3, 4, 99}, {2, 4, 5, 9}, 11 / std::sqrt(130.0)},
        // A pair with an absent side is left out: the same four pairs as above remain.
        {"absent returns", {1, none, 2, 3, 4}, {2, 7, 4, 5, 9}, 11 / std::sqrt(130.0)},
        {"zero variance", {0.01, 0.01, 0.01}, {0.01, -0.02, 0.03}, none},
        {"zero variance on the other side", {0.01, -0.02, 0.03}, {0.02, 0.02, 0.02}, none},
        // What rounding leaves of a constant rise (1.1^k returns) is no variation.
        {"rounding noise", {0.1 + 1e-16, 0.1 - 1e-16, 0.1}, {0.01, -0.02, 0.03}, none},
        {"one pair", {0.01}, {0.02}, none},
        {"two pairs", {0.01, 0.02}, {0.05, -0.01}, -1},
        {"empty", {}, {}, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFigure(Correlation(c.a, c.b), c.expected, "correlation");
    }
}

TEST(Correlation, StaysWithinMinusOneAndOne) {
    // Many nearly collinear returns: rounding must not push the result past 1.
    Returns a, b;
    for (int k = 0; k < 1000; ++k) {
        a.push_back(0.001 * std::sin(k * 0.37));
        b.push_back(3 * *a.back() + 1e-3);
    }
    const std::optional<double> r = Correlation(a, b);
    ASSERT_TRUE(r);
    EXPECT_LE(*r, 1.0);
    EXPECT_NEAR(*r, 1.0, 1e-12);
}

TEST(CorrelationMatrix, SymmetricWithAnAbsentRowForAFailedFund) {
    // Curves of W = 1, 1.1, 0.99, 1.089 (r = 0.1, -0.1, 0.1) and its mirror W = 1, 0.9, 0.99,
    // 0.891 (r = -0.1, 0.1, -0.1); a flat curve; a failed fund (no points).
    const std::vector<std::vector<SeriesPoint>> curves = {
        {{"d0", 0}, {"d1", 10}, {"d2", -1}, {"d3", 8.9}},
        {{"d0", 0}, {"d1", -10}, {"d2", -1}, {"d3", -10.9}},
        {{"d0", 0}, {"d1", 0}, {"d2", 0}, {"d3", 0}},
        {},
    };
    const auto m = CorrelationMatrix(curves);
    ASSERT_EQ(m.size(), 4u);
    for (const auto& row : m)
        ASSERT_EQ(row.size(), 4u);
    ExpectFigure(m[0][0], 1, "diagonal");
    ExpectFigure(m[1][1], 1, "diagonal");
    ExpectFigure(m[0][1], -1, "mirror");
    ExpectFigure(m[1][0], -1, "mirror, transposed");
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectFigure(m[2][i], std::nullopt, "flat row");
        ExpectFigure(m[i][2], std::nullopt, "flat column");
        ExpectFigure(m[3][i], std::nullopt, "failed row");
        ExpectFigure(m[i][3], std::nullopt, "failed column");
    }
}

} // namespace
} // namespace fundlens
