#include "analysis/holdings.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(ReadPercent, ReadsFigureTextsAndNothingElse) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"9.83%", 9.83},
        {"9.83", 9.83},
        {"-1.23", -1.23},
        {"+2.5", 2.5},
        {" 4.1 % ", 4.1},
        {"0", 0},
        {"12", 12},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"--", std::nullopt},
        {"%", std::nullopt},
        {"1.", std::nullopt},
        {".5", std::nullopt},
        {"1e3", std::nullopt},
        {"1,5", std::nullopt},
        {"9.83%%", std::nullopt},
        {"abc", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadPercent(c.text), c.value);
    }
}

TEST(TopHoldingsOf, ReadsTheWeightsAndTakesNamesFromTheQuotes) {
    const ArchiveHoldings archive{"1.600519,0.000858,116.00700",
                                  {{"600519", "9.83%"}, {"000858", ""}, {"00700", "4.50%"}}};
    const std::vector<StockQuote> quotes = {{"00700", "腾讯控股"_gbk, "1.20"},
                                            {"600519", "贵州茅台"_gbk, "-0.50"}};
    const TopHoldings holdings = TopHoldingsOf(archive, quotes, "2024-09-30");
    EXPECT_EQ(holdings.reportDate, "2024-09-30");
    // The row without a readable weight is left out; the order is the archive's.
    ASSERT_EQ(holdings.stocks.size(), 2u);
    EXPECT_EQ(holdings.stocks[0].stockCode, "600519");
    EXPECT_EQ(holdings.stocks[0].stockName, "贵州茅台"_gbk);
    EXPECT_DOUBLE_EQ(holdings.stocks[0].weightPct, 9.83);
    EXPECT_EQ(holdings.stocks[1].stockCode, "00700");
    EXPECT_EQ(holdings.stocks[1].stockName, "腾讯控股"_gbk);
    EXPECT_DOUBLE_EQ(holdings.stocks[1].weightPct, 4.5);
}

TEST(StockChangesOf, SuspendedIsADashAndUnreadableIsLeftOut) {
    const std::vector<StockChange> changes = StockChangesOf(
        {{"600519", "", "2.50"}, {"000858", "", "-"}, {"300750", "", ""}, {"00700", "", "-1.2"}});
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
