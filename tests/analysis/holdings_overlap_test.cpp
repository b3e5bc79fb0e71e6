#include "analysis/holdings_overlap.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

TopHoldings FundA() {
    return {"2024-09-30",
            {{"600519", "贵州茅台"_gbk, 9.5},
             {"000858", "五粮液"_gbk, 6.0},
             {"300750", "宁德时代"_gbk, 4.2}}};
}

TEST(OverlapOf, HandWorkedPairs) {
    const struct {
        const char* name;
        TopHoldings b;
        double overlapPct;
        int commonCount;
        bool datesDiffer;
    } cases[] = {
        {"disjoint", {"2024-09-30", {{"601318", "", 5.0}, {"00700", "", 8.0}}}, 0, 0, false},
        // 9.5 + 6.0 + 4.2
        {"identical", FundA(), 19.7, 3, false},
        // min(9.5, 3.0) + min(6.0, 7.5) = 9.0
        {"partly shared",
         {"2024-09-30", {{"000858", "", 7.5}, {"600519", "", 3.0}, {"601318", "", 5.0}}},
         9.0,
         2,
         false},
        {"an earlier quarter", {"2024-06-30", {{"600519", "", 9.0}}}, 9.0, 1, true},
        {"the same date written with slashes",
         {"2024/09/30", {{"600519", "", 9.0}}},
         9.0,
         1,
         false},
        // Listed twice: counted once, with its first weight, min(9.5, 2.0).
        {"a stock listed twice",
         {"2024-09-30", {{"600519", "", 2.0}, {"600519", "", 8.0}}},
         2.0,
         1,
         false},
        // A weight that is no weight is no holding.
        {"an unusable weight",
         {"2024-09-30", {{"600519", "", NAN}, {"000858", "", -1}, {"300750", "", 1.0}}},
         1.0,
         1,
         false},
        {"no holdings reported", {"2024-09-30", {}}, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HoldingsOverlap overlap = OverlapOf(FundA(), c.b);
        EXPECT_NEAR(overlap.overlapPct, c.overlapPct, 1e-12);
        EXPECT_EQ(overlap.commonCount, c.commonCount);
        EXPECT_EQ(static_cast<int>(overlap.common.size()), c.commonCount);
        EXPECT_EQ(overlap.reportDatesDiffer, c.datesDiffer);
    }
}

TEST(OverlapOf, ListsTheCommonStocksInTheFirstFundsOrderWithBothWeights) {
    const TopHoldings b{"2024-09-30", {{"000858", "", 7.5}, {"600519", "", 3.0}}};
    const HoldingsOverlap overlap = OverlapOf(FundA(), b);
    ASSERT_EQ(overlap.common.size(), 2u);
    EXPECT_EQ(overlap.common[0].stockCode, "600519");
    EXPECT_EQ(overlap.common[0].stockName, "贵州茅台"_gbk);
    EXPECT_DOUBLE_EQ(overlap.common[0].weightPctA, 9.5);
    EXPECT_DOUBLE_EQ(overlap.common[0].weightPctB, 3.0);
    EXPECT_EQ(overlap.common[1].stockCode, "000858");
    EXPECT_DOUBLE_EQ(overlap.common[1].weightPctA, 6.0);
    EXPECT_DOUBLE_EQ(overlap.common[1].weightPctB, 7.5);
    // A nameless entry takes the other fund's name.
    EXPECT_EQ(OverlapOf(b, FundA()).common[0].stockName, "五粮液"_gbk);
}

TEST(OverlapMatrix, AFundWithUnknownHoldingsHasAnAbsentRowAndColumn) {
    const TopHoldings b{"2024-09-30", {{"000858", "", 7.5}, {"600519", "", 3.0}}};
    const auto m = OverlapMatrix({FundA(), std::nullopt, b});
    ASSERT_EQ(m.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(m[i].size(), 3u);
        EXPECT_FALSE(m[1][i]) << i;
        EXPECT_FALSE(m[i][1]) << i;
    }
    ASSERT_TRUE(m[0][2] && m[2][0] && m[0][0]);
    EXPECT_NEAR(m[0][2]->overlapPct, 9.0, 1e-12);
    EXPECT_NEAR(m[2][0]->overlapPct, 9.0, 1e-12);
    EXPECT_NEAR(m[0][0]->overlapPct, 19.7, 1e-12);
}

} // namespace
} // namespace fundlens
