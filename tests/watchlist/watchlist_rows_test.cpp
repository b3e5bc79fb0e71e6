// The watchlist's rows worked by hand: the estimate, its phase and error, the position valued
// at the estimated or confirmed NAV, the totals, the greyed stale rows and the records a
// refresh makes.
#include "analysis/dates.h"
#include "watchlist/watchlist_rows.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

using Col = WatchlistColumn;

// Wednesday 2026-12-09 at the given minute, China time.
ChinaTime Wednesday(int hour, int minute) {
    return {*ReadDay("2026-12-09"), hour * 60 + minute};
}

MainPageFigures Page(const Text& date, const Text& nav, const Text& change) {
    MainPageFigures page;
    page.date = date;
    page.netValue = nav;
    page.dailyChange = change;
    return page;
}

// Three stocks of 10, 20 and 30 percent: +2 %, -0.5 % and suspended. The estimate is
// (10 x 2 + 20 x -0.5 + 30 x 0) / 60 = 1/6 %, covering 60 %.
FundSnapshot EquityFund() {
    FundSnapshot fund;
    fund.code = "161725";
    fund.name = "白酒指数A"_gbk;
    fund.position = {1000, 1100};
    fund.page = Page("2026-12-08", "1.2000", "1.00%");
    fund.holdings =
        TopHoldings{"2026-09-30", {{"600519", "", 10}, {"000858", "", 20}, {"600809", "", 30}}};
    fund.changes = {{"600519", 2.0}, {"000858", -0.5}, {"600809", std::nullopt}};
    fund.quotesReceived = true;
    fund.quoteTime = "10:30:05";
    fund.updated = "10:30:05";
    return fund;
}

// The same fund in the evening: the day's NAV out, its estimate recorded before the close.
FundSnapshot ConfirmedFund() {
    FundSnapshot fund = EquityFund();
    fund.page = Page("2026-12-09", "1.2024", "0.20%");
    fund.records = {{"161725", "2026-12-09", 1.0 / 6, 60, std::nullopt}};
    return fund;
}

struct RowCase {
    const char* name;
    FundSnapshot fund;
    ChinaTime now;
    std::vector<std::pair<Col, const char*>> texts; // UTF-8
};

void ExpectTexts(const WatchlistRow& row, const RowCase& c) {
    for (const auto& [column, text] : c.texts)
        EXPECT_EQ(TextToUtf8(row.Cell(column).text), text)
            << "column " << WatchlistCaptions[static_cast<std::size_t>(column)];
}

TEST(WatchlistRowTest, EveryPhaseWorkedByHand) {
    FundSnapshot noRecord = ConfirmedFund();
    noRecord.records.clear();
    FundSnapshot weekend = EquityFund();
    weekend.page = Page("2026-12-11", "1.2100", "-0.50%");
    const RowCase cases[] = {
        // 1.2 x (1 + 1/600) = 1.2020: worth 1202.00, today 1000 x 1.2 x 1/600 = 2.00.
        {"in the session",
         EquityFund(),
         Wednesday(10, 30),
         {{Col::Estimate, "0.17%"},
          {Col::EstimateStatus, "估算"},
          {Col::Covered, "60.00%"},
          {Col::NavDate, "2026-12-08"},
          {Col::Nav, "1.2000"},
          {Col::DayChange, "1.00%"},
          {Col::MarketValue, "1202.00"},
          {Col::TodayGain, "2.00"},
          {Col::HoldingGain, "102.00"},
          {Col::ReturnRate, "9.27%"}}},
        {"lunch break", EquityFund(), Wednesday(12, 0), {{Col::EstimateStatus, "估算"}}},
        {"after the close, before the NAV",
         EquityFund(),
         Wednesday(15, 0),
         {{Col::EstimateStatus, "估算(收盘)"}, {Col::MarketValue, "1202.00"}}},
        // 1.2024 / 1.002 = 1.2 before: today 1000 x 1.2 x 0.2 % = 2.40; |1/6 - 0.2| = 0.03.
        {"the NAV out, the estimate recorded",
         ConfirmedFund(),
         Wednesday(20, 30),
         {{Col::Estimate, "0.17%"},
          {Col::EstimateStatus, "已确认 (误差 0.03)"},
          {Col::DayChange, "0.20%"},
          {Col::MarketValue, "1202.40"},
          {Col::TodayGain, "2.40"},
          {Col::HoldingGain, "102.40"},
          {Col::ReturnRate, "9.31%"}}},
        {"the NAV out, nothing recorded",
         noRecord,
         Wednesday(20, 30),
         {{Col::Estimate, "0.17%"}, {Col::EstimateStatus, "已确认"}}},
        // Saturday: Friday's NAV and change.
        {"weekend",
         weekend,
         {*ReadDay("2026-12-12"), 10 * 60},
         {{Col::EstimateStatus, "已确认"},
          {Col::MarketValue, "1210.00"},
          {Col::TodayGain, "-6.08"},
          {Col::HoldingGain, "110.00"}}},
        {"before the open", EquityFund(), Wednesday(9, 29), {{Col::EstimateStatus, "已确认"}}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectTexts(RowOf(c.fund, FiguresOf(c.fund, c.now)), c);
    }
}

TEST(WatchlistRowTest, AMissingEstimateSaysWhy) {
    FundSnapshot bond = EquityFund();
    bond.holdings = TopHoldings{"2026-09-30", {}};
    bond.changes.clear();
    bond.quotesReceived = false;
    FundSnapshot noArchive = EquityFund();
    noArchive.holdings.reset();
    FundSnapshot noQuotes = EquityFund();
    noQuotes.changes.clear();
    noQuotes.quotesReceived = false;
    FundSnapshot delisted = EquityFund();
    delisted.changes.clear();
    FundSnapshot unknown = EquityFund();
    unknown.unknownFund = true;
    unknown.holdings = TopHoldings{};
    const struct {
        const char* name;
        FundSnapshot fund;
        const char* reason;
    } cases[] = {
        {"bond fund", bond, "无股票持仓，无法估算"},
        {"archive never came", noArchive, "持仓数据未能获取，无法估算"},
        {"quotes never came", noQuotes, "行情未能获取，无法估算"},
        {"no stock quoted", delisted, "持仓股票无行情，无法估算"},
        {"no such fund", unknown, "门户上没有这只基金"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RowFigures figures = FiguresOf(c.fund, Wednesday(10, 30));
        const WatchlistRow row = RowOf(c.fund, figures);
        EXPECT_EQ(TextToUtf8(row.Cell(Col::Estimate).text), "--");
        EXPECT_FALSE(row.Cell(Col::Estimate).color.has_value());
        EXPECT_EQ(TextToUtf8(row.Cell(Col::Covered).text), "--");
        EXPECT_EQ(TextToUtf8(row.Cell(Col::EstimateStatus).text), c.reason);
        EXPECT_EQ(TextToUtf8(row.Tip(Col::Estimate)), c.reason);
        // Valued at the last NAV; no gain today without a change.
        EXPECT_EQ(TextToUtf8(row.Cell(Col::MarketValue).text), "1200.00");
        EXPECT_EQ(TextToUtf8(row.Cell(Col::TodayGain).text), "--");
    }
}

TEST(WatchlistRowTest, TheEstimateShowsItsWorkings) {
    const FundSnapshot fund = EquityFund();
    const RowFigures figures = FiguresOf(fund, Wednesday(10, 30));
    ASSERT_TRUE(figures.shownPct.has_value());
    EXPECT_NEAR(*figures.shownPct, 1.0 / 6, 1e-12);
    EXPECT_EQ(figures.estimate.suspended, 1);
    const std::string tip = TextToUtf8(RowOf(fund, figures).Tip(Col::Estimate));
    for (const char* part : {"Σ(权重 × 涨跌幅) ÷ Σ权重", "覆盖 60.00%", "3 只股票",
                             "停牌 1 只按 0 计", "持仓报告期 2026-09-30", "行情时间 10:30:05"})
        EXPECT_NE(tip.find(part), std::string::npos) << part << " in " << tip;

    const FundSnapshot evening = ConfirmedFund();
    const std::string recorded =
        TextToUtf8(RowOf(evening, FiguresOf(evening, Wednesday(20, 30))).Tip(Col::Estimate));
    for (const char* part : {"收盘前最后一次估算（2026-12-09）：0.17%", "覆盖 60.00%",
                             "确认涨幅 0.20%", "误差 0.03 个百分点"})
        EXPECT_NE(recorded.find(part), std::string::npos) << part << " in " << recorded;
}

// Five recorded days with errors 0.1, 0.2, 0.3, 0.4 and 0.5: the median is 0.3.
TEST(WatchlistRowTest, TheMedianErrorShowsFromFiveRecordedDays) {
    FundSnapshot fund = EquityFund();
    for (int day = 1; day <= 5; ++day)
        fund.records.push_back(
            {fund.code, "2026-12-0" + std::to_string(day), 1.0, 50, 1.0 - day / 10.0});
    EXPECT_EQ(
        TextToUtf8(RowOf(fund, FiguresOf(fund, Wednesday(10, 30))).Cell(Col::EstimateStatus).text),
        "估算 (中位误差 0.30)");
    fund.records.pop_back();
    const WatchlistRow four = RowOf(fund, FiguresOf(fund, Wednesday(10, 30)));
    EXPECT_EQ(TextToUtf8(four.Cell(Col::EstimateStatus).text), "估算");
    EXPECT_NE(TextToUtf8(four.Tip(Col::EstimateStatus)).find("记满 5 个交易日"), std::string::npos);
}

TEST(WatchlistRowTest, FiguresAreColouredByTheirSign) {
    FundSnapshot falling = EquityFund();
    falling.page = Page("2026-12-08", "1.0000", "-1.00%");
    falling.changes = {{"600519", -2.0}, {"000858", -1.0}, {"600809", std::nullopt}};
    const WatchlistRow down = RowOf(falling, FiguresOf(falling, Wednesday(10, 30)));
    const WatchlistRow up = RowOf(EquityFund(), FiguresOf(EquityFund(), Wednesday(10, 30)));
    for (Col column :
         {Col::DayChange, Col::Estimate, Col::TodayGain, Col::HoldingGain, Col::ReturnRate}) {
        EXPECT_EQ(up.Cell(column).color, RgbRed);
        EXPECT_EQ(down.Cell(column).color, RgbGreen);
    }
    for (Col column : {Col::Name, Col::Nav, Col::Covered, Col::Shares, Col::MarketValue})
        EXPECT_FALSE(up.Cell(column).color.has_value());
}

TEST(WatchlistRowTest, AFundWithoutPositionOrPage) {
    FundSnapshot watched = EquityFund();
    watched.position = {};
    const WatchlistRow none = RowOf(watched, FiguresOf(watched, Wednesday(10, 30)));
    EXPECT_EQ(none.Cell(Col::Shares).text, "0.00");
    EXPECT_EQ(none.Cell(Col::MarketValue).text, "0.00");
    EXPECT_EQ(none.Cell(Col::TodayGain).text, "0.00");
    EXPECT_EQ(none.Cell(Col::ReturnRate).text, "--");

    FundSnapshot noPage = EquityFund();
    noPage.page.reset();
    const WatchlistRow row = RowOf(noPage, FiguresOf(noPage, Wednesday(10, 30)));
    for (Col column : {Col::NavDate, Col::Nav, Col::DayChange, Col::MarketValue, Col::TodayGain,
                       Col::HoldingGain, Col::ReturnRate})
        EXPECT_EQ(row.Cell(column).text, "--");
    EXPECT_EQ(row.Cell(Col::Estimate).text, "0.17%") << "the holdings still estimate";
    EXPECT_EQ(row.Cell(Col::Cost).text, "1100.00");
}

TEST(WatchlistRowTest, AStaleRowIsGreyAndSaysSinceWhen) {
    FundSnapshot fund = EquityFund();
    fund.quotesStale = true;
    fund.updated = "10:29:35";
    const WatchlistRow row = RowOf(fund, FiguresOf(fund, Wednesday(10, 30)));
    EXPECT_TRUE(row.stale);
    for (int column = 0; column < WatchlistColumnCount; ++column) {
        EXPECT_EQ(row.cells[static_cast<std::size_t>(column)].color, RgbGrey);
        EXPECT_TRUE(TextToUtf8(row.tips[static_cast<std::size_t>(column)])
                        .starts_with("上次更新 10:29:35"));
    }
    EXPECT_EQ(row.Cell(Col::Estimate).text, "0.17%") << "the last figures are kept";
    fund.updated.clear();
    EXPECT_EQ(TextToUtf8(RowOf(fund, FiguresOf(fund, Wednesday(10, 30))).tips[0]), "尚未成功更新");
}

TEST(WatchlistTotalsTest, SumsOnlyWhenEveryRowHasTheFigure) {
    FundSnapshot second = EquityFund();
    second.position = {500, 700}; // worth 601.00, 1.00 today
    FundSnapshot unpriced = EquityFund();
    unpriced.page.reset();
    const ChinaTime now = Wednesday(10, 30);
    const WatchlistView both = ViewOf({EquityFund(), second}, now);
    ASSERT_EQ(both.funds.size(), 2u);
    EXPECT_EQ(both.totals.Cell(Col::Name).text, "合计"_gbk);
    EXPECT_EQ(both.totals.Cell(Col::Cost).text, "1800.00");
    EXPECT_EQ(both.totals.Cell(Col::MarketValue).text, "1803.00");
    EXPECT_EQ(both.totals.Cell(Col::TodayGain).text, "3.00");
    EXPECT_EQ(both.totals.Cell(Col::HoldingGain).text, "3.00");
    EXPECT_EQ(both.totals.Cell(Col::ReturnRate).text, "0.17%");
    EXPECT_EQ(both.totals.Cell(Col::Estimate).text, "");
    EXPECT_FALSE(both.totals.stale);

    const WatchlistView missing = ViewOf({EquityFund(), unpriced}, now);
    EXPECT_EQ(missing.totals.Cell(Col::Cost).text, "2200.00");
    EXPECT_EQ(missing.totals.Cell(Col::MarketValue).text, "--");
    EXPECT_EQ(missing.totals.Cell(Col::TodayGain).text, "--");

    second.pageStale = true;
    const WatchlistView stale = ViewOf({EquityFund(), second}, now);
    EXPECT_TRUE(stale.totals.stale);
    EXPECT_EQ(stale.totals.Cell(Col::Cost).color, RgbGrey);
    EXPECT_EQ(ViewOf({}, now).totals.Cell(Col::MarketValue).text, "0.00");
}

TEST(WatchlistRecordsTest, TheSessionsEstimateAndTheDaysConfirmation) {
    FundSnapshot staleQuotes = EquityFund();
    staleQuotes.quotesStale = true;
    FundSnapshot overCovered = EquityFund();
    overCovered.holdings->stocks[0].weightPct = 80; // 130 % of net assets: not recordable
    FundSnapshot confirmedAlready = ConfirmedFund();
    confirmedAlready.records[0].confirmedPct = 0.2;
    FundSnapshot confirmedOtherwise = ConfirmedFund();
    confirmedOtherwise.records[0].confirmedPct = 0.1;
    FundSnapshot stalePage = ConfirmedFund();
    stalePage.pageStale = true;
    const struct {
        const char* name;
        FundSnapshot fund;
        ChinaTime now;
        std::vector<EstimateRecord> expected;
    } cases[] = {
        {"in the session",
         EquityFund(),
         Wednesday(10, 30),
         {{"161725", "2026-12-09", 1.0 / 6, 60, std::nullopt}}},
        {"quotes of an earlier refresh", staleQuotes, Wednesday(10, 30), {}},
        {"weights above all assets", overCovered, Wednesday(10, 30), {}},
        {"after the close", EquityFund(), Wednesday(15, 1), {}},
        {"the day confirmed",
         ConfirmedFund(),
         Wednesday(20, 30),
         {{"161725", "2026-12-09", std::nullopt, std::nullopt, 0.2}}},
        {"confirmed already", confirmedAlready, Wednesday(20, 30), {}},
        {"confirmed otherwise before",
         confirmedOtherwise,
         Wednesday(20, 30),
         {{"161725", "2026-12-09", std::nullopt, std::nullopt, 0.2}}},
        {"page of an earlier refresh", stalePage, Wednesday(20, 30), {}},
        {"no estimate recorded for the day", EquityFund(), Wednesday(20, 30), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<EstimateRecord> made =
            RecordsToMake(c.fund, FiguresOf(c.fund, c.now), c.now);
        ASSERT_EQ(made.size(), c.expected.size());
        for (std::size_t i = 0; i < made.size(); ++i) {
            EXPECT_EQ(made[i].code, c.expected[i].code);
            EXPECT_EQ(made[i].tradeDate, c.expected[i].tradeDate);
            EXPECT_EQ(made[i].estimatePct.has_value(), c.expected[i].estimatePct.has_value());
            if (made[i].estimatePct) {
                EXPECT_NEAR(*made[i].estimatePct, *c.expected[i].estimatePct, 1e-12);
            }
            EXPECT_EQ(made[i].coveredPct, c.expected[i].coveredPct);
            EXPECT_EQ(made[i].confirmedPct, c.expected[i].confirmedPct);
        }
    }
}

TEST(WatchlistTextsTest, FiguresAndClock) {
    EXPECT_EQ(PercentText(12.345), "12.35%"); // 12.345 is 12.3450000000000006 as a double
    EXPECT_EQ(PercentText(std::nullopt), "--");

    using namespace std::chrono;
    const sys_seconds wall = sys_days{2026y / 12 / 9} + hours(2) + minutes(30) + seconds(42);
    const ChinaTime atWall = ChinaTimeOf(wall);
    EXPECT_EQ(ClockText(atWall, wall), "10:30:42");
    EXPECT_EQ(ClockText(Wednesday(14, 5), wall), "14:05:00") << "a fixed clock has no seconds";
}

} // namespace
} // namespace fundlens
