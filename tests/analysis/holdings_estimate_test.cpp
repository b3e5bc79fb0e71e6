#include "analysis/holdings_estimate.h"
#include "expect_figure.h"
#include "portal/figures.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

TopHoldings Holdings(std::vector<HoldingWeight> stocks) {
    return {"2024-09-30", std::move(stocks)};
}

TEST(EstimateFromHoldings, HandWorkedCases) {
    const std::optional<double> suspended;
    const struct {
        const char* name;
        TopHoldings holdings;
        std::vector<StockChange> changes;
        std::optional<double> estimatePct;
        double coveredPct;
        int used, suspended, missing;
        EstimateGap gap;
    } cases[] = {
        // (6 * 1 + 4 * -2) / 10
        {"every stock quoted",
         Holdings({{"600519", "", 6}, {"000858", "", 4}}),
         {{"000858", -2}, {"600519", 1}},
         -0.2,
         10,
         2,
         0,
         0,
         EstimateGap::None},
        // (10 * 2 + 5 * 0 + 5 * -1) / (10 + 5 + 5): the suspended stock stays covered at 0
        // change, the missing one is neither summed nor covered.
        {"a suspended and a missing stock",
         Holdings({{"600519", "", 10}, {"000858", "", 5}, {"300750", "", 5}, {"601318", "", 5}}),
         {{"600519", 2}, {"000858", suspended}, {"601318", -1}, {"002594", 9}},
         0.75,
         20,
         3,
         1,
         1,
         EstimateGap::None},
        {"every stock suspended",
         Holdings({{"600519", "", 10}, {"000858", "", 5}}),
         {{"600519", suspended}, {"000858", suspended}},
         0,
         15,
         2,
         2,
         0,
         EstimateGap::None},
        // Listed twice: its first entry only, (3 * 4) / 3.
        {"a stock listed twice",
         Holdings({{"600519", "", 3}, {"600519", "", 7}}),
         {{"600519", 4}},
         4,
         3,
         1,
         0,
         0,
         EstimateGap::None},
        // A change that is not a number is no quote; a weight that is not one is no holding.
        {"unusable figures",
         Holdings({{"600519", "", 3}, {"000858", "", NAN}, {"300750", "", 2}}),
         {{"600519", NAN}, {"000858", 5}, {"300750", 1.5}},
         1.5,
         2,
         1,
         0,
         1,
         EstimateGap::None},
        {"no stock holdings",
         Holdings({}),
         {{"600519", 1}},
         std::nullopt,
         0,
         0,
         0,
         0,
         EstimateGap::NoStockHoldings},
        {"holdings of no weight",
         Holdings({{"600519", "", 0}}),
         {{"600519", 1}},
         std::nullopt,
         0,
         1,
         0,
         0,
         EstimateGap::NoStockHoldings},
        {"no quotes",
         Holdings({{"600519", "", 10}, {"000858", "", 5}}),
         {},
         std::nullopt,
         0,
         0,
         0,
         2,
         EstimateGap::NoQuotes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HoldingsEstimate e = EstimateFromHoldings(c.holdings, c.changes);
        ExpectFigure(e.estimatePct, c.estimatePct, "estimate");
        EXPECT_NEAR(e.coveredPct, c.coveredPct, 1e-12);
        EXPECT_EQ(e.stocksUsed, c.used);
        EXPECT_EQ(e.suspended, c.suspended);
        EXPECT_EQ(e.missing, c.missing);
        EXPECT_EQ(e.gap, c.gap);
    }
}

TEST(EstimateFromHoldings, TheQuoteCutFeedsItAsTheDetailColumnPairsIt) {
    // The archive's rows, the quote answer in another order with one stock suspended and one
    // left out: (9.83 * 1.5 + 4.5 * 0) / (9.83 + 4.5); 000858 is missing.
    auto held = [](const Text& code, const Text& weight) {
        return ArchiveRow{code, {}, weight, FigureNumber(weight)};
    };
    auto quote = [](const Text& code, const Text& change) {
        return StockQuote{code, {}, change, FigureNumber(change)};
    };
    const ArchiveHoldings archive{
        "", {held("600519", "9.83%"), held("000858", "6.00%"), held("00700", "4.50%")}, {}};
    const std::vector<StockQuote> quotes = {quote("00700", "-"), quote("600519", "1.50")};
    const HoldingsEstimate e =
        EstimateFromHoldings(TopHoldingsOf(archive, quotes), StockChangesOf(quotes));
    ExpectFigure(e.estimatePct, 9.83 * 1.5 / 14.33, "estimate");
    EXPECT_NEAR(e.coveredPct, 14.33, 1e-12);
    EXPECT_EQ(e.missing, 1);
    EXPECT_EQ(e.suspended, 1);
}

} // namespace
} // namespace fundlens
