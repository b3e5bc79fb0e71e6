// The current fund's detail end to end: a click on a fund list row against the demo portal
// fills the left detail column; a newer selection wins over answers still on their way; failed
// answers and rows without a code; the comparison grid's mirror row; the risk grids' tooltip.
#include "detail/detail_column.h"
#include "detail/fund_detail.h"
#include "detail_view.h"
#include "portal/fund_risk.h"
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QTest>
#include <QTextDocument>

namespace fundlens::test {
namespace {

using demo::Fund;
using demo::HasValue;

class FundDetailTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        demo::PortalOptions options;
        options.date = "2026-12-08";
        ASSERT_TRUE(StartPortal(options));
        StartMainWindow();
    }
    const demo::Universe& Market() { return portal()->universe(); }
    GridWidget* FundList() { return FindControl<GridWidget>(MainWindow(), "高级表格1"); }
    Grid List() { return MainWindow().GridNamed("高级表格1"); }

    // Writes the fund into a row of the fund list, as a list load leaves it.
    void PutInList(int row, const Text& name, const Text& code) { ShowListRow(row, {name, code}); }
    // Clicks the row and waits until its detail has loaded.
    void Select(int row) {
        ClickCell(FundList(), row, 0);
        ASSERT_TRUE(WaitUntil([] { return !DetailLoadRunning(); }));
    }
    const Fund* Find(const std::function<bool(const Fund&)>& wanted) {
        return FindFund(Market(), wanted);
    }
    // Lets queued work run for a while: for checking that nothing more arrives.
    static void Settle(int ms) {
        WaitUntil([] { return false; }, ms);
    }
};

TEST_F(FundDetailTest, EachFundShowsItsOwnFiguresOnly) {
    const demo::Universe& m = Market();
    auto team = [](const Fund& f) { return f.managements.front(); };
    auto holds = [&](const Fund& f, const std::function<bool(const demo::Stock&)>& kind) {
        for (std::size_t k = 0; k < f.holdings.size() && k < 10; ++k) {
            if (kind(m.Stocks()[static_cast<std::size_t>(f.holdings[k].stock)]))
                return true;
        }
        return false;
    };
    auto rating = [](const Fund& f) {
        return f.ratingHistory.empty() ? -1 : f.ratingHistory.front().rating;
    };
    // In this order each fund follows one that would leave something behind.
    const struct {
        const char* name;
        std::function<bool(const Fund&)> wanted;
    } cases[] = {
        {"one manager gaining, rated, ten holdings",
         [&](const Fund& f) {
             return team(f).managers.size() == 1 && team(f).returnPct > 0 && rating(f) > 0 &&
                    QuotedHoldings(m, f) == 10 && HasValue(f.risk.sharpe[2]);
         }},
        {"fewer than ten holdings",
         [&](const Fund& f) { return QuotedHoldings(m, f) < 10 && rating(f) > 0; }},
        {"rated 0 after a rated fund",
         [&](const Fund& f) { return rating(f) == 0 && HasValue(f.risk.sharpe[2]); }},
        {"young: no rating, -- figures",
         [&](const Fund& f) {
             return !HasValue(f.risk.sharpe[1]) && HasValue(f.risk.deviationPct[0]) &&
                    QuotedHoldings(m, f) > 0;
         }},
        {"two managers losing, a Hong Kong holding",
         [&](const Fund& f) {
             return team(f).managers.size() == 2 && team(f).returnPct < 0 &&
                    holds(f, [](const demo::Stock& s) { return s.InHongKong(); });
         }},
        {"three managers, a suspended stock",
         [&](const Fund& f) {
             return team(f).managers.size() == 3 &&
                    holds(f, [](const demo::Stock& s) { return s.suspended && s.quoted; });
         }},
        {"index fund: nine figures on its page",
         [](const Fund& f) {
             return f.type == demo::FundType::Index && HasValue(f.risk.sharpe[2]);
         }},
    };
    int row = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Fund* fund = Find(c.wanted);
        ASSERT_NE(fund, nullptr);
        PutInList(row, Utf8ToText(fund->name), fund->code);
        Select(row++);
        EXPECT_EQ(ShownDetail(), ExpectedDetail(m, *fund)) << fund->code;
        EXPECT_EQ(State().CurrentFundCode, fund->code);
    }
}

TEST_F(FundDetailTest, FailedAnswersShowAsMissingNotAsTheFundBefore) {
    const Fund* first = Find([](const Fund& f) { return HasValue(f.risk.sharpe[2]); });
    const Fund* second = Find([&](const Fund& f) { return &f != first; });
    int row = 1;
    for (const bool allFail : {true, false}) {
        SCOPED_TRACE(allFail ? "every request fails" : "the quotes are garbage");
        UsePortalBase(portal()->BaseUrl());
        PutInList(row, Utf8ToText(first->name), first->code);
        Select(row++);
        ASSERT_NE(ShownDetail().holdings[0][1].text, "");
        RelayPortal relay(portal()->BaseUrl(), {},
                          [&](const httplib::Request& req, httplib::Response& res) {
                              if (!allFail && req.path != "/api/qt/ulist.np/get")
                                  return false;
                              res.status = allFail ? 500 : 200;
                              res.set_content("\x89jQuery(garbage", "text/plain");
                              return true;
                          });
        UsePortalBase(relay.Base());
        PutInList(row, Utf8ToText(second->name), second->code);
        Select(row++);
        DetailView expected = ExpectedDetail(Market(), *second);
        expected.holdings = {};
        if (allFail) {
            expected.size = expected.managers = "";
            expected.tenure = {"（任期：）"_gbk, RgbGreen};
            expected.rating = "暂无评级"_gbk;
            expected.risk = {};
        }
        EXPECT_EQ(ShownDetail(), expected);
    }
}

TEST_F(FundDetailTest, TheLastOfManyQuickSelectionsIsShownAlone) {
    constexpr int Rows = 20;
    std::vector<const Fund*> funds;
    for (int i = 0; i < Rows; ++i)
        funds.push_back(&Market().Funds()[static_cast<std::size_t>(i * 97)]);
    // Every fund's answers but the last one's come late.
    const std::string last = funds.back()->code;
    RelayPortal relay(portal()->BaseUrl(), [&](const std::string& target) {
        return target.find(last) == std::string::npos && target.find("ulist") == std::string::npos
                   ? 300
                   : 0;
    });
    UsePortalBase(relay.Base());
    List().SetRowCount(Rows + 1);
    for (int i = 0; i < Rows; ++i)
        PutInList(i + 1, Utf8ToText(funds[static_cast<std::size_t>(i)]->name),
                  funds[static_cast<std::size_t>(i)]->code);
    ClickCell(FundList(), 1, 0);
    for (int i = 1; i < Rows; ++i)
        QTest::keyClick(FundList(), Qt::Key_Down);
    ASSERT_EQ(List().CursorRow(), Rows);
    ASSERT_TRUE(WaitUntil([] { return !DetailLoadRunning(); }));
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() == 0; }));
    Settle(200);
    EXPECT_EQ(ShownDetail(), ExpectedDetail(Market(), *funds.back()));
    EXPECT_EQ(State().CurrentFundCode, last);
}

TEST_F(FundDetailTest, ARowWithoutACodeWritesTheNameAndStopsTheLoadBefore) {
    const Fund* fund = Find([](const Fund& f) { return HasValue(f.risk.sharpe[2]); });
    RelayPortal relay(portal()->BaseUrl(), [](const std::string&) { return 300; });
    UsePortalBase(relay.Base());
    PutInList(1, Utf8ToText(fund->name), fund->code);
    PutInList(2, "无代码"_gbk, "");
    State().SearchPickFlag = 0;
    ClickCell(FundList(), 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() > 0; }));
    ClickCell(FundList(), 2, 0);
    EXPECT_FALSE(DetailLoadRunning());
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() == 0; }));
    Settle(200);
    DetailView expected; // the first fund's column was emptied; none of its answers came in
    expected.name = "无代码"_gbk;
    EXPECT_EQ(ShownDetail(), expected);
    EXPECT_EQ(State().CurrentFundCode, "");
    for (const demo::RecordedRequest& request : portal()->Requests())
        EXPECT_EQ(request.path.find("_.html"), std::string::npos) << "asked without a code";
}

TEST_F(FundDetailTest, APinnedFundMakesTheComparisonGridMirrorTheSelectedRow) {
    const Fund* fund = &Market().Funds().front();
    Grid compare = MainWindow().GridNamed("高级表格2");
    std::vector<Text> texts;
    std::vector<std::optional<Rgb>> colors;
    for (int column = 0; column < 13; ++column) {
        texts.push_back("c" + NumberToText(column));
        colors.push_back(column % 2 ? RgbRed : RgbBlue);
    }
    texts[1] = fund->code;
    ShowListRow(1, texts, colors);
    Select(1);
    EXPECT_EQ(compare.CellText(2, 0), "") << "nothing pinned: the grid stays as it is";

    ShowPinnedCode("000001");
    PutInList(2, "c0", fund->code);
    Select(2);
    Select(1);
    for (int column = 0; column < 13; ++column) {
        EXPECT_EQ(compare.CellText(2, column), List().CellText(1, column)) << column;
        EXPECT_EQ(compare.CellColor(2, column), column < 4 ? RgbBlack : List().CellColor(1, column))
            << column;
    }
}

TEST_F(FundDetailTest, AFundPinnedWhileLoadingEndsWholeInTheCompareColumn) {
    const Fund* pinned = Find([](const Fund& f) { return HasValue(f.risk.sharpe[2]); });
    const Fund* next = &Market().Funds()[7];
    RelayPortal relay(portal()->BaseUrl(), [](const std::string&) { return 300; });
    UsePortalBase(relay.Base());
    PutInList(1, Utf8ToText(pinned->name), pinned->code);
    PutInList(2, Utf8ToText(next->name), next->code);
    ClickCell(FundList(), 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() > 0; }));
    Fire(Routines().addToCompareChosen); // 加入对比 before any answer came
    ClickCell(FundList(), 2, 0);         // a new selection does not overtake the pinned load
    ASSERT_TRUE(WaitUntil([] { return !DetailLoadRunning(); }));
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() == 0; }));
    EXPECT_EQ(ShownDetail(CompareColumnNames), ExpectedDetail(Market(), *pinned));
    EXPECT_EQ(ShownDetail(), ExpectedDetail(Market(), *next));
    EXPECT_EQ(State().CompareFundCode, pinned->code);

    // 删除对比 overtakes a pinned load still running: nothing of it arrives afterwards.
    ClickCell(FundList(), 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() > 0; }));
    Fire(Routines().addToCompareChosen);
    MainWindow().GridNamed("高级表格2").SetCursor(1, 0);
    Fire(Routines().removeFromCompareChosen);
    ASSERT_TRUE(WaitUntil([&] { return relay.HeldBack() == 0; }));
    Settle(200);
    EXPECT_EQ(ShownDetail(CompareColumnNames).size, "");
    EXPECT_EQ(ShownDetail(CompareColumnNames).holdings[0][1].text, "");
}

TEST_F(FundDetailTest, BothRiskGridsExplainTheirFiguresInAPlainTooltip) {
    const QString tip = QString::fromUtf8(TextToUtf8(RiskTooltipText())).replace("\r\n", "\n");
    for (const char* name : {"高级表格3", "高级表格4"}) {
        GridWidget* grid = FindControl<GridWidget>(MainWindow(), name);
        MoveMouse(grid, CellCenter(grid, 1, 1));
        EXPECT_EQ(grid->toolTip(), tip) << name;
        EXPECT_FALSE(Qt::mightBeRichText(grid->toolTip()));
    }
}

} // namespace
} // namespace fundlens::test
