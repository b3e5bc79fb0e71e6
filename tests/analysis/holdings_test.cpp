#include "analysis/holdings.h"
#include "portal/figures.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// A quote as the quote cut gives it.
StockQuote Quote(const Text& code, const Text& name, const Text& change) {
    return {code, name, change, FigureNumber(change)};
}

ArchiveRow Held(const Text& code, const Text& weight, const Text& name = {}) {
    return {code, name, weight, FigureNumber(weight)};
}

TEST(TopHoldingsOf, ReadsTheWeightsAndTakesNamesFromTheQuotes) {
    const ArchiveHoldings archive{
        "1.600519,0.000858,116.00700",
        {Held("600519", "9.83%"), Held("000858", ""), Held("00700", "4.50%", "腾讯")},
        "2024-09-30"};
    const std::vector<StockQuote> quotes = {Quote("00700", "腾讯控股"_gbk, "1.20"),
                                            Quote("600519", "贵州茅台"_gbk, "-0.50")};
    const TopHoldings holdings = TopHoldingsOf(archive, quotes);
    EXPECT_EQ(holdings.reportDate, "2024-09-30");
    // The row without a readable weight is left out; the order is the archive's.
    ASSERT_EQ(holdings.stocks.size(), 2u);
    EXPECT_EQ(holdings.stocks[0].stockCode, "600519");
    EXPECT_EQ(holdings.stocks[0].stockName, "贵州茅台"_gbk);
    EXPECT_DOUBLE_EQ(holdings.stocks[0].weightPct, 9.83);
    EXPECT_EQ(holdings.stocks[1].stockCode, "00700");
    EXPECT_EQ(holdings.stocks[1].stockName, "腾讯") << "the archive's name first";
    EXPECT_DOUBLE_EQ(holdings.stocks[1].weightPct, 4.5);
}

TEST(StockChangesOf, SuspendedIsADashAndUnreadableIsLeftOut) {
    const std::vector<StockChange> changes =
        StockChangesOf({Quote("600519", "", "2.50"), Quote("000858", "", "-"),
                        Quote("300750", "", ""), Quote("00700", "", "-1.2")});
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].stockCode, "600519");
    EXPECT_EQ(changes[0].changePct, 2.5);
    EXPECT_EQ(changes[1].stockCode, "000858");
    EXPECT_FALSE(changes[1].changePct);
    EXPECT_EQ(changes[2].stockCode, "00700");
    EXPECT_EQ(changes[2].changePct, -1.2);
}

} // namespace
} // namespace fundlens
