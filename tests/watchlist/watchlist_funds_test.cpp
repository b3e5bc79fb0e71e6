// The bookkeeping between refreshes: the store's funds merged with what the portal answered,
// a failed answer keeping the last figures marked stale, the quotes of a batch replacing the
// batch's stocks, and the records a refresh leaves known.
#include "watchlist/watchlist_funds.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

StoredFund Stored(const Text& code, double shares = 0) {
    return {code, "", {shares, shares * 2}, {}};
}

ArchiveAnswer Archive(const Text& ids, std::vector<std::pair<Text, double>> stocks) {
    ArchiveAnswer answer;
    answer.readable = true;
    answer.holdings.stockIds = ids;
    answer.holdings.reportDate = "2026-09-30";
    for (const auto& [code, weight] : stocks)
        answer.holdings.rows.push_back({code, "", "", weight});
    return answer;
}

MainPageAnswer Page(const Text& nav, const Text& name = "") {
    MainPageAnswer answer;
    answer.readable = true;
    answer.figures.date = "2026-12-08";
    answer.figures.netValue = nav;
    answer.figures.dailyChange = "0.50%";
    answer.name = name;
    return answer;
}

QuoteAnswer Quotes(std::vector<std::pair<Text, Text>> changes) {
    QuoteAnswer answer;
    answer.readable = true;
    for (const auto& [code, change] : changes)
        answer.quotes.push_back({code, "", change, FigureNumber(change)});
    return answer;
}

TEST(WatchlistFundsTest, TheStoresOrderWithWhatThePortalAnsweredKept) {
    std::vector<FundState> funds;
    MergeStored(funds, {Stored("000001"), Stored("000002")});
    ASSERT_EQ(CodesWantingPages(funds), (std::vector<Text>{"000001", "000002"}));
    ApplyMainPage(funds[0], Page("1.5000", "甲基金"_gbk));
    ApplyMainPage(funds[1], Page("2.0000"));
    EXPECT_TRUE(CodesWantingPages(funds).empty());

    // Another program removed 000002 and added 000003; 000001 bought more.
    MergeStored(funds, {Stored("000003"), Stored("000001", 100)});
    ASSERT_EQ(funds.size(), 2u);
    EXPECT_EQ(funds[0].snapshot.code, "000003");
    EXPECT_EQ(funds[1].snapshot.code, "000001");
    EXPECT_EQ(funds[1].snapshot.page->netValue, "1.5000") << "kept";
    EXPECT_EQ(funds[1].snapshot.position.shares, 100);
    EXPECT_EQ(funds[1].snapshot.name, "甲基金"_gbk) << "the page's name while the store has none";
    EXPECT_EQ(CodesWantingPages(funds), std::vector<Text>{"000003"});
    WantAllPages(funds);
    EXPECT_EQ(CodesWantingPages(funds).size(), 2u);
}

TEST(WatchlistFundsTest, AFailedAnswerKeepsTheLastFiguresMarkedStale) {
    std::vector<FundState> funds;
    MergeStored(funds, {Stored("000001")});
    FundState& fund = funds[0];
    ApplyMainPage(fund, Page("1.5000"));
    ApplyArchive(fund, Archive("1.600519", {{"600519", 10}}));
    EXPECT_FALSE(fund.snapshot.Stale());

    ApplyMainPage(fund, MainPageAnswer{});
    ApplyArchive(fund, ArchiveAnswer{});
    EXPECT_TRUE(fund.snapshot.pageStale);
    EXPECT_TRUE(fund.snapshot.holdingsStale);
    EXPECT_EQ(fund.snapshot.page->netValue, "1.5000");
    ASSERT_TRUE(fund.snapshot.holdings.has_value());
    EXPECT_EQ(fund.snapshot.holdings->stocks.size(), 1u);
    EXPECT_EQ(fund.stockIds, "1.600519") << "its quotes are still asked for";

    SettleUpdated(funds, "10:31:00");
    EXPECT_EQ(fund.snapshot.updated, "") << "never complete yet";

    MainPageAnswer notFound;
    notFound.unknownFund = true;
    ApplyMainPage(fund, notFound);
    EXPECT_FALSE(fund.snapshot.pageStale) << "no such fund is no failure";
    EXPECT_TRUE(fund.snapshot.unknownFund);
    EXPECT_FALSE(fund.snapshot.page.has_value());
    ApplyMainPage(fund, Page("1.5100"));
    ApplyArchive(fund, Archive("1.600519", {{"600519", 10}}));
    SettleUpdated(funds, "10:32:00");
    EXPECT_EQ(fund.snapshot.updated, "10:32:00");
    EXPECT_EQ(fund.snapshot.page->netValue, "1.5100");
}

TEST(WatchlistFundsTest, QuotesComeByBatchAndAFailedBatchStalesItsFundsOnly) {
    std::vector<FundState> funds;
    MergeStored(funds, {Stored("000001"), Stored("000002"), Stored("000003")});
    ApplyArchive(funds[0], Archive("1.600519,0.000858", {{"600519", 10}, {"000858", 5}}));
    ApplyArchive(funds[1], Archive("116.00700", {{"00700", 8}}));
    ApplyArchive(funds[2], Archive("", {})); // a bond fund
    const std::vector<Text> batches = QuoteBatches(StockIdLists(funds), 2);
    ASSERT_EQ(batches, (std::vector<Text>{"1.600519,0.000858", "116.00700"}));

    QuoteBook book;
    ApplyQuoteBatch(book, batches[0], Quotes({{"600519", "1.50"}, {"000858", "-"}}));
    ApplyQuoteBatch(book, batches[1], QuoteAnswer{}); // failed
    SettleQuotes(funds, book, batches, {true, false}, "10:31:00");
    EXPECT_FALSE(funds[0].snapshot.quotesStale);
    EXPECT_TRUE(funds[0].snapshot.quotesReceived);
    EXPECT_EQ(funds[0].snapshot.quoteTime, "10:31:00");
    ASSERT_EQ(funds[0].snapshot.changes.size(), 2u);
    EXPECT_EQ(funds[0].snapshot.changes[0].changePct, 1.5);
    EXPECT_FALSE(funds[0].snapshot.changes[1].changePct.has_value()) << "suspended";
    EXPECT_TRUE(funds[1].snapshot.quotesStale);
    EXPECT_FALSE(funds[1].snapshot.quotesReceived);
    EXPECT_FALSE(funds[2].snapshot.quotesStale) << "nothing to quote";

    // The next answer of the batch leaves 000858 out (delisted): it is no longer quoted.
    ApplyQuoteBatch(book, batches[0], Quotes({{"600519", "-0.40"}}));
    SettleQuotes(funds, book, {batches[0]}, {true}, "10:31:30");
    ASSERT_EQ(funds[0].snapshot.changes.size(), 1u);
    EXPECT_EQ(funds[0].snapshot.changes[0].changePct, -0.4);
    EXPECT_TRUE(funds[1].snapshot.quotesStale) << "its stock was in no batch that came";
}

TEST(WatchlistFundsTest, WrittenDaysAndNamesAreKnownWithoutReadingTheStore) {
    std::vector<FundState> funds;
    MergeStored(funds, {Stored("000001")});
    funds[0].snapshot.records = {{"000001", "2026-12-08", 1.0, 50, std::nullopt}};
    ApplyMainPage(funds[0], Page("1.5000", "甲基金"_gbk));
    AddRecords(funds, {{"000001", "2026-12-08", std::nullopt, std::nullopt, 0.8},
                       {"000001", "2026-12-09", 0.3, 55, std::nullopt},
                       {"000009", "2026-12-09", 0.3, 55, std::nullopt}});
    const std::vector<EstimateRecord>& records = funds[0].snapshot.records;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].tradeDate, "2026-12-09");
    EXPECT_EQ(records[1].estimatePct, 1.0) << "kept beside the confirmed change";
    EXPECT_EQ(records[1].confirmedPct, 0.8);

    const RefreshRecords made = RecordsOf(funds, {0, 0});
    ASSERT_EQ(made.names.size(), 1u);
    EXPECT_EQ(made.names[0].name, "甲基金"_gbk) << "the store has no name yet";
}

} // namespace
} // namespace fundlens
