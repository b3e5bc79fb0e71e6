// A fund picked from the search suggestions: its row as the fund list's only row, then its
// detail; a pick overtakes a list load still running.
#include "demo-portal/calendar.h"
#include "demo-portal/fund_pages.h"
#include "detail/fund_detail.h"
#include "detail_view.h"
#include "runs/runs.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QTreeWidget>

namespace fundlens::test {
namespace {

using demo::Fund;
using demo::FundPages;

class SearchPickTest : public ProgramFixture {
protected:
    void StartAt(demo::PortalOptions options) {
        InstallSeams();
        options.date = "2026-12-08";
        ASSERT_TRUE(StartPortal(options));
        StartMainWindow();
    }
    void SetUp() override { StartAt({}); }
    Grid List() { return MainWindow().GridNamed("高级表格1"); }

    // Types the fund's code and waits for its suggestion.
    void Search(const Fund& fund) {
        QWidget* box = FindControl(MainWindow(), "搜索框");
        Focus(box);
        TypeText(box, QString::fromStdString(fund.code));
        ASSERT_TRUE(WaitUntil([&] {
            const ListView list = MainWindow().ListNamed("超级列表框1");
            return list.Visible() && list.ItemCount() > 0 && list.ItemText(0, 1) == fund.code;
        }));
    }
    void Pick(int line = 0) {
        DoubleClickItem(FindControl<QTreeWidget>(MainWindow(), "超级列表框1"), line);
    }
    static bool PickDone() { return !IsRunning(RunName::Pick) && !DetailLoadRunning(); }
};

// The picked fund's row as its main page gives it: a zero is green, above 50 blue.
std::vector<ShownCell> ExpectedRow(const demo::Universe& market, const Fund& fund) {
    auto colored = [](double value) {
        const Text text = FundPages::PercentText(value);
        const double shown = TextToNumber(text);
        return ShownCell{text, shown > 50 + 1e-7 ? RgbBlue : shown > 1e-7 ? RgbRed : RgbGreen};
    };
    std::vector<ShownCell> row{
        {Utf8ToText(fund.name)},
        {fund.code},
        {demo::FormatDay(market.LastTradingDay())},
        {demo::FormatFixed(demo::Universe::NavAt(fund, market.LastIndex()), 4), RgbRed},
        colored(fund.returns.day)};
    for (double value : fund.returns.period)
        row.push_back(colored(value));
    return row;
}

TEST_F(SearchPickTest, ADoubleClickShowsThePickedFundAloneThenItsDetail) {
    const demo::Universe& market = portal()->universe();
    const Fund* fund = FindFund(
        market, [](const Fund& f) { return f.returns.period[7] > 50 && f.returns.period[0] < 0; });
    ASSERT_NE(fund, nullptr);
    ShowListRow(5, {"旧行"_gbk});
    ShowListRowCount(40);
    Search(*fund);
    Pick();
    ASSERT_TRUE(WaitUntil(PickDone));
    ASSERT_EQ(List().RowCount(), 20) << "the list in its designed state";
    for (int column = 0; column < 13; ++column) {
        const ShownCell shown{List().CellText(1, column), List().CellColor(1, column)};
        EXPECT_EQ(shown, ExpectedRow(market, *fund)[static_cast<std::size_t>(column)]) << column;
        EXPECT_EQ(List().CellText(5, column), "");
    }
    EXPECT_EQ(MainWindow().EditNamed("搜索框").Content(), "");
    EXPECT_FALSE(MainWindow().ListNamed("超级列表框1").Visible());
    EXPECT_EQ(MainWindow().ListNamed("超级列表框1").ItemCount(), 0);
    EXPECT_EQ(ShownDetail(), ExpectedDetail(market, *fund));
    EXPECT_EQ(State().CurrentFundCode, fund->code);
    EXPECT_EQ(State().SearchPickFlag, 0);
}

TEST_F(SearchPickTest, APinnedFundMirrorsThePickedRow) {
    const Fund& fund = portal()->universe().Funds()[42];
    Grid compare = MainWindow().GridNamed("高级表格2");
    ShowPinnedCode("000001");
    Search(fund);
    Pick();
    ASSERT_TRUE(WaitUntil(PickDone));
    for (int column = 0; column < 13; ++column)
        EXPECT_EQ(compare.CellText(2, column), List().CellText(1, column)) << column;
    EXPECT_EQ(compare.CellText(2, 1), fund.code);
}

class SlowPortalPickTest : public SearchPickTest {
protected:
    void SetUp() override {
        demo::PortalOptions options;
        options.latencyMs = 300;
        StartAt(options);
    }
};

TEST_F(SlowPortalPickTest, APickStopsTheListLoadStillRunning) {
    const Fund& fund = portal()->universe().Funds()[7];
    Search(fund);
    MainWindow().ButtonNamed("五星基金钮").Click();
    ASSERT_TRUE(IsRunning(RunName::ListLoad, FiveStarListTag));
    Pick();
    Focus(FindControl(MainWindow(), "搜索框")); // empties the suggestions while the page loads
    ASSERT_TRUE(WaitUntil(PickDone));
    auto rankingRequests = [&] {
        int count = 0;
        for (const demo::RecordedRequest& request : portal()->Requests())
            count += request.path == "/data/FundGuideapi.aspx";
        return count;
    };
    // The probe (when it was sent before the pick cancelled it) has been answered by now; no
    // page is asked for, no row written.
    WaitUntil([] { return false; }, 700);
    EXPECT_LE(rankingRequests(), 1);
    EXPECT_EQ(MainWindow().Title(), "");
    EXPECT_EQ(List().CellText(1, 0), Utf8ToText(fund.name));
    EXPECT_EQ(List().CellText(1, 1), fund.code);
    EXPECT_EQ(List().CellText(2, 1), "");
    EXPECT_EQ(List().RowCount(), 20);
    EXPECT_TRUE(MainWindow().ButtonNamed("五星基金钮").Enabled());
    EXPECT_EQ(ShownDetail(), ExpectedDetail(portal()->universe(), fund));
}

// A list load overtakes a pick whose page is still on its way: the program's fund codes stay
// those of the fund the panel shows, so 走势图 charts and names that fund.
TEST_F(SlowPortalPickTest, APickOvertakenByAListLoadLeavesTheCurrentFund) {
    const Fund& shown = portal()->universe().Funds()[3];
    const Fund& picked = portal()->universe().Funds()[9];
    ShowListRow(1, {Utf8ToText(shown.name), shown.code});
    ClickCell(FindControl<GridWidget>(MainWindow(), "高级表格1"), 1, 0);
    ASSERT_TRUE(WaitUntil([] { return !DetailLoadRunning(); }));
    Search(picked);
    Pick();
    ASSERT_TRUE(IsRunning(RunName::Pick));
    MainWindow().ButtonNamed("五星基金钮").Click();
    EXPECT_FALSE(IsRunning(RunName::Pick));
    EXPECT_EQ(State().CurrentFundCode, shown.code) << "while the list loads";
    ASSERT_TRUE(
        WaitUntil([] { return !IsRunning(RunName::ListLoad) && !DetailLoadRunning(); }, 20000));
    EXPECT_EQ(State().CurrentFundCode, shown.code);
    EXPECT_EQ(MainWindow().LabelNamed("标签19").Caption(), Utf8ToText(shown.name));
}

TEST_F(SearchPickTest, ANewerPickSupersedesTheOlder) {
    QWidget* box = FindControl(MainWindow(), "搜索框");
    Focus(box);
    TypeText(box, "000");
    const ListView list = MainWindow().ListNamed("超级列表框1");
    ASSERT_TRUE(WaitUntil([&] { return list.Visible() && list.ItemCount() > 3; }));
    const Fund* newer = portal()->universe().FindFund(list.ItemText(3, 1));
    ASSERT_NE(newer, nullptr);
    // The older pick's main page comes after the newer one's.
    const std::string older = "/" + list.ItemText(0, 1) + ".html";
    RelayPortal relay(portal()->BaseUrl(), [&](const std::string& target) {
        return target.starts_with(older) ? 1000 : 0;
    });
    UsePortalBase(relay.Base());
    Pick(0);
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() > 0; }));
    Pick(3);
    ASSERT_TRUE(WaitUntil(PickDone));
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() == 0; }));
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(List().CellText(1, 1), newer->code);
    EXPECT_EQ(ShownDetail(), ExpectedDetail(portal()->universe(), *newer));
}

} // namespace
} // namespace fundlens::test
