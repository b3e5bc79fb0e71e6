// The watchlist window as a new user meets it: a fund added from the fund list, its figures as
// the portal's answers give them worked by hand, a failed refresh greyed, the timer's quote
// refreshes, the fewest quote requests, a row opened in the main window.
#include "detail/fund_detail.h"
#include "portal/fund_holdings.h"
#include "portal/fund_main_page.h"
#include "portal/profile.h"
#include "runs/runs.h"
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "store/watchlist_store.h"
#include "watchlist/watchlist_refresh.h"
#include "watchlist_fixture.h"
#include "web/web_request.h"

#include <QMenu>
#include <QTreeWidget>
#include <cmath>
#include <filesystem>
#include <sys/stat.h>

namespace fundlens::test {
namespace {

using Col = WatchlistColumn;

// The estimate worked from the portal's own answers: sum of weight x change over the stocks
// quoted (a suspended one counting 0), divided by their weight.
struct HandEstimate {
    double estimatePct = 0;
    double coveredPct = 0;
};

HandEstimate EstimateByHand(const Text& code) {
    const ArchiveHoldings archive = CutHoldings(WebRequest(ArchiveUrl(code)));
    const std::vector<StockQuote> quotes = CutQuotes(WebRequest(QuoteUrl(archive.stockIds)));
    double weighted = 0, covered = 0;
    for (const ArchiveRow& row : archive.rows) {
        for (const StockQuote& quote : quotes) {
            if (quote.code != row.stockCode || !row.weightPct)
                continue;
            weighted += *row.weightPct * (quote.change == "-" ? 0 : TextToNumber(quote.change));
            covered += *row.weightPct;
        }
    }
    return {weighted / covered, covered};
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::size_t RequestsTo(const demo::DemoPortal& portal, const std::string& pathPart,
                       std::size_t from = 0) {
    const auto requests = portal.Requests();
    std::size_t count = 0;
    for (std::size_t i = from; i < requests.size(); ++i)
        count += requests[i].path.find(pathPart) != std::string::npos;
    return count;
}

TEST_F(WatchlistTest, OpeningItMakesNoFileAndSaysHowToAddAFund) {
    OpenWindow();
    EXPECT_EQ(WatchlistWindow().Title(), "自选基金"_gbk);
    EXPECT_FALSE(std::filesystem::exists(StorePath()));
    EXPECT_EQ(WatchlistWindow().GridNamed(WatchlistGridName).RowCount(), 2);
    EXPECT_EQ(Cell(1, Col::Name), "合计"_gbk);
    EXPECT_EQ(TextToUtf8(Status()), "还没有自选基金：在基金列表中右键选择“加入自选”");
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(WatchlistTest, TheFirstAddMakesThePrivateFileAndTheRowShowsThePortalsFigures) {
    const demo::Fund& fund = EquityFund();
    AddFromList(fund);
    struct stat st {};
    ASSERT_EQ(::stat(StorePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600);

    const MainPageFigures page = CutMainPage(WebRequest(MainPageUrl(fund.code)));
    const HandEstimate hand = EstimateByHand(fund.code);
    EXPECT_EQ(Cell(1, Col::Name), Utf8ToText(fund.name));
    EXPECT_EQ(Cell(1, Col::Code), fund.code);
    EXPECT_EQ(Cell(1, Col::NavDate), "2026-12-08") << "yesterday's NAV during the session";
    EXPECT_EQ(Cell(1, Col::Nav), page.netValue);
    EXPECT_EQ(Cell(1, Col::DayChange), page.dailyChange);
    EXPECT_EQ(TextToUtf8(Cell(1, Col::Estimate)), Fixed(hand.estimatePct, 2) + "%");
    EXPECT_EQ(CellColor(1, Col::Estimate), hand.estimatePct > 0.005 ? RgbRed : RgbGreen);
    EXPECT_EQ(TextToUtf8(Cell(1, Col::Covered)), Fixed(hand.coveredPct, 2) + "%");
    EXPECT_EQ(TextToUtf8(Cell(1, Col::EstimateStatus)), "估算");
    EXPECT_EQ(Cell(1, Col::Shares), "0.00");
    EXPECT_EQ(Cell(2, Col::Name), "合计"_gbk);
    const std::string tip = TextToUtf8(CellTip(1, Col::Estimate));
    EXPECT_NE(tip.find("持仓报告期 2026-09-30"), std::string::npos) << tip;
    EXPECT_NE(tip.find("行情时间 10:30:00"), std::string::npos) << tip;
    EXPECT_NE(TextToUtf8(Status()).find("交易中"), std::string::npos);

    // The session's estimate is recorded for the day.
    WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
    const auto days = store.Estimates(fund.code, 5);
    ASSERT_EQ(days.rows.size(), 1u);
    EXPECT_EQ(days.rows[0].tradeDate, "2026-12-09");
    EXPECT_NEAR(days.rows[0].estimatePct.value_or(-99), hand.estimatePct, 1e-9);
    EXPECT_EQ(store.Funds().rows.at(0).name, Utf8ToText(fund.name));
}

TEST_F(WatchlistTest, AFundWithoutStocksSaysWhyItHasNoEstimate) {
    AddFromList(BondFund());
    EXPECT_EQ(Cell(1, Col::Estimate), "--");
    EXPECT_EQ(TextToUtf8(Cell(1, Col::EstimateStatus)), "无股票持仓，无法估算");
    EXPECT_EQ(TextToUtf8(CellTip(1, Col::Estimate)), "无股票持仓，无法估算");
    EXPECT_FALSE(Cell(1, Col::Nav).empty());
}

TEST_F(WatchlistTest, AFailedRefreshKeepsTheFiguresGreyedAndSaysSinceWhen) {
    AddFromList(EquityFund());
    AddFromList(BondFund(), 2);
    const std::vector<Text> before{Cell(1, Col::Estimate), Cell(1, Col::Nav), Cell(2, Col::Nav)};
    UsePortalBase(ClosedPortBase());
    Click(FindControl(WatchlistWindow(), WatchlistRefreshName));
    ASSERT_TRUE(WaitUntil(Refreshed));
    EXPECT_EQ((std::vector<Text>{Cell(1, Col::Estimate), Cell(1, Col::Nav), Cell(2, Col::Nav)}),
              before);
    for (int row = 1; row <= 3; ++row) {
        for (Col column : {Col::Name, Col::Nav, Col::MarketValue})
            EXPECT_EQ(CellColor(row, column), RgbGrey) << row;
    }
    EXPECT_EQ(TextToUtf8(CellTip(1, Col::Nav)), "上次更新 10:30:00");
    EXPECT_TRUE(TextToUtf8(CellTip(1, Col::Estimate)).starts_with("上次更新 10:30:00\n"));
    EXPECT_NE(TextToUtf8(Status()).find("2 只基金未能更新"), std::string::npos);
    EXPECT_EQ(WatchlistWindow().LabelNamed(WatchlistStatusName).TextColor(), RgbRed);

    UsePortalBase(portal()->BaseUrl());
    Click(FindControl(WatchlistWindow(), WatchlistRefreshName));
    ASSERT_TRUE(WaitUntil(Refreshed));
    EXPECT_NE(CellColor(1, Col::Nav), RgbGrey);
    EXPECT_EQ(CellTip(1, Col::Nav), "");
}

TEST_F(WatchlistTest, TheTimerAsksForQuotesAloneAndOnlyInTheSession) {
    AddFromList(EquityFund());
    const std::size_t before = portal()->Requests().size();
    Fire(Routines().watchlist.timerTicked);
    ASSERT_TRUE(WaitUntil(Refreshed));
    EXPECT_EQ(RequestsTo(*portal(), "/api/qt/ulist.np/get", before), 1u);
    EXPECT_EQ(portal()->Requests().size(), before + 1) << "no main page, no archive";

    FixChinaTime(ReadChinaTime("2026-12-09 15:30"));
    Fire(Routines().watchlist.timerTicked);
    ProcessEvents();
    EXPECT_FALSE(WatchlistRefreshRunning());
    EXPECT_EQ(portal()->Requests().size(), before + 1) << "the session is over";
    FixChinaTime(ReadChinaTime("2026-12-12 10:30")); // Saturday
    Fire(Routines().watchlist.timerTicked);
    ProcessEvents();
    EXPECT_EQ(portal()->Requests().size(), before + 1);
}

// The timer pauses while the window is minimised; shown again, the quotes are refreshed at once.
TEST_F(WatchlistTest, AWindowShownAgainRefreshesItsQuotes) {
    AddFromList(EquityFund());
    QWidget* window = WatchlistWindow().widget();
    window->showMinimized();
    ProcessEvents();
    const std::size_t before = portal()->Requests().size();
    window->showNormal();
    ASSERT_TRUE(WaitUntil([&] { return portal()->Requests().size() > before; }));
    ASSERT_TRUE(WaitUntil(Refreshed));
    EXPECT_EQ(RequestsTo(*portal(), "/api/qt/ulist.np/get", before), 1u);
}

TEST_F(WatchlistTest, ARefreshAsksEachPageOnceAndTheQuotesInTheFewestRequests) {
    constexpr int Funds = 7; // 70 stocks at most: two quote requests
    for (int i = 0; i < Funds; ++i)
        AddFromList(EquityFund(i * 3), i + 1);
    const std::size_t before = portal()->Requests().size();
    Click(FindControl(WatchlistWindow(), WatchlistRefreshName));
    ASSERT_TRUE(WaitUntil(Refreshed));
    EXPECT_EQ(RequestsTo(*portal(), "FundArchivesDatas.aspx", before), std::size_t(Funds));
    EXPECT_EQ(RequestsTo(*portal(), ".html", before), std::size_t(Funds));
    const std::size_t quotes = RequestsTo(*portal(), "/api/qt/ulist.np/get", before);
    EXPECT_GE(quotes, 1u);
    EXPECT_LE(quotes, 2u);
    for (int row = 1; row <= Funds; ++row)
        EXPECT_NE(Cell(row, Col::Estimate), "--") << row;
    EXPECT_EQ(WatchlistWindow().GridNamed(WatchlistGridName).RowCount(), Funds + 2);
}

TEST_F(WatchlistTest, ADoubleClickedRowOpensTheFundInTheMainWindowAsAPick) {
    const demo::Fund& fund = EquityFund(2);
    AddFromList(EquityFund());
    AddFromList(fund, 2);
    ShowListRow(2, {"别的基金"_gbk, "000000"});
    DoubleClick(WatchGrid()->viewport(),
                WatchGrid()->viewport()->mapFrom(WatchGrid(), CellCenter(WatchGrid(), 2, 0)));
    ASSERT_TRUE(WaitUntil([] { return !IsRunning(RunName::Pick) && !DetailLoadRunning(); }));
    const Grid list = MainWindow().GridNamed("高级表格1");
    EXPECT_EQ(list.CellText(1, 1), fund.code);
    EXPECT_EQ(list.CellText(2, 1), "") << "the fund alone, as a pick shows it";
    EXPECT_EQ(State().CurrentFundCode, fund.code);
    EXPECT_EQ(MainWindow().LabelNamed("标签19").Caption(), Utf8ToText(fund.name));
}

TEST_F(WatchlistTest, AFundPickedFromTheSearchIsAddedFromRowOne) {
    const demo::Fund& fund = EquityFund(1);
    QWidget* box = FindControl(MainWindow(), "搜索框");
    Focus(box);
    TypeText(box, QString::fromStdString(fund.code));
    ASSERT_TRUE(WaitUntil([] { return MainWindow().ListNamed("超级列表框1").ItemCount() > 0; }));
    DoubleClickItem(FindControl<QTreeWidget>(MainWindow(), "超级列表框1"), 0);
    ASSERT_TRUE(WaitUntil([] { return !IsRunning(RunName::Pick) && !DetailLoadRunning(); }));
    auto* list = FindControl<GridWidget>(MainWindow(), "高级表格1");
    RightClickCell(list, 1, 0);
    auto* menu = FindControl<QMenu>(MainWindow(), "菜单");
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
    ClickMenuItem(menu, 1);
    ASSERT_TRUE(WaitUntil(Refreshed));
    EXPECT_EQ(Cell(1, Col::Code), fund.code);
}

TEST_F(WatchlistTest, TheControlDumpShowsTheWindow) {
    AddFromList(EquityFund());
    const std::string dump = DumpText();
    EXPECT_NE(dump.find("\"watchlist\": {"), std::string::npos);
    for (const char* name : {"自选表格", "刷新钮", "自选状态标签", "自选菜单"})
        EXPECT_NE(dump.find(std::string("\"") + name + "\""), std::string::npos) << name;
}

TEST_F(WatchlistTest, ClosingTheWindowEndsItsRefresh) {
    AddFromList(EquityFund());
    Click(FindControl(WatchlistWindow(), WatchlistRefreshName));
    ASSERT_TRUE(WatchlistRefreshRunning());
    WatchlistWindow().Close();
    EXPECT_FALSE(WatchlistRefreshRunning());
    ProcessEvents();
    EXPECT_FALSE(WatchlistWindow().Exists());
    OpenWindow(); // opens again, with the fund from the store
    EXPECT_EQ(Cell(1, Col::Code), EquityFund().code);
}

} // namespace
} // namespace fundlens::test
