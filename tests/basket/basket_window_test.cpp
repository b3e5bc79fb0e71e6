// The basket window driven through the main window against the demo portal: a basket built from
// the five-star list, its curves and tables; the funds it starts with, the ones refused; the
// period buttons; removing a fund; a fund the portal does not know; closing and reopening;
// copying, the CSV button and the control dump.
#include "basket/basket_loads.h"
#include "basket/basket_tables.h"
#include "basket/basket_window.h"
#include "demo-portal/universe.h"
#include "lists/rank_list.h"
#include "shell/basket_form.h"
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace fundlens::test {
namespace {

constexpr int FundListRowsShown = 19;

class BasketWindowTest : public ProgramFixture {
protected:
    void SetUp() override { Start(0); }
    void TearDown() override {
        SetSaveFileAsker({});
        ProgramFixture::TearDown();
    }

    void Start(int latencyMs) {
        InstallSeams();
        demo::PortalOptions options;
        options.date = "2026-12-08";
        options.latencyMs = latencyMs;
        ASSERT_TRUE(StartPortal(options));
        StartMainWindow();
        messages.Clear();
    }

    // The five-star list, loaded as the user does.
    void LoadFiveStar() {
        Click(FindControl(MainWindow(), "五星基金钮"));
        ASSERT_TRUE(WaitUntil([] { return !ListLoadRunning(); }));
    }

    // The fund list's row `row` joins the basket through the popup menu's third item.
    void AddListRow(int row) {
        auto* list = FindControl<GridWidget>(MainWindow(), "高级表格1");
        MainWindow().GridNamed("高级表格1").SetCursor(row, 0);
        RightClickCell(list, row, 0);
        auto* menu = FindControl<QMenu>(MainWindow(), "菜单");
        ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
        ClickMenuItem(menu, 2);
        WaitUntil([menu] { return !menu->isVisible(); });
    }

    // Funds of the market shown in the list's first rows (names and codes as a load shows them).
    void ShowMarketRows(int rows) {
        for (int row = 1; row <= rows; ++row) {
            const demo::Fund& fund = Market().Funds()[static_cast<std::size_t>(row * 7)];
            ShowListRow(row, {Utf8ToText(fund.name), fund.code});
        }
    }

    void OpenBasket() {
        Click(FindControl(MainWindow(), "多基金对比钮"));
        ASSERT_TRUE(WaitUntil([] { return BasketWindow().Exists() && !BasketLoadsRunning(); }));
    }

    const demo::Universe& Market() { return portal()->universe(); }
    std::vector<demo::RecordedRequest> RequestsTo(const std::string& path) {
        std::vector<demo::RecordedRequest> found;
        for (const demo::RecordedRequest& request : portal()->Requests()) {
            if (request.path == path)
                found.push_back(request);
        }
        return found;
    }
    static Grid Table(const char* name) { return BasketWindow().GridNamed(name); }
    static std::vector<Text> Codes() {
        std::vector<Text> codes;
        for (const BasketFund& fund : State().Views.basket.funds)
            codes.push_back(fund.code);
        return codes;
    }
    // Every text of the basket's three tables.
    static std::string AllTableTexts() {
        std::string all;
        for (const char* name : {BasketRiskTableName, BasketCorrelationName, BasketOverlapName}) {
            const Grid grid = Table(name);
            for (int row = 0; row < grid.RowCount(); ++row)
                for (int column = 0; column < grid.ColumnCount(); ++column)
                    all += TextToUtf8(grid.CellText(row, column)) + "|";
        }
        return all;
    }
};

TEST_F(BasketWindowTest, ANewUserComparesFiveFundsOfTheFiveStarList) {
    LoadFiveStar();
    for (int row = 1; row <= 5; ++row)
        AddListRow(row);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(MainWindow().ButtonNamed("多基金对比钮").Caption(), "多基金对比（5）"_gbk);
    OpenBasket();

    const std::vector<Text> codes = Codes();
    ASSERT_EQ(codes.size(), 5u);
    const auto compares = RequestsTo("/FundCompare/LJSYL");
    ASSERT_EQ(compares.size(), 1u) << "one request for every curve";
    EXPECT_NE(compares[0].query.find("bzdm=" + codes[0] + "," + codes[1] + "," + codes[2] + "," +
                                     codes[3] + "," + codes[4] + "&c=year&"),
              std::string::npos)
        << compares[0].query;
    EXPECT_EQ(RequestsTo("/FundArchivesDatas.aspx").size(), 5u);

    EXPECT_EQ(BasketWindow().LabelNamed(BasketTitleName).Caption(), "近1年收益率走势对比图"_gbk);
    const Grid risk = Table(BasketRiskTableName);
    ASSERT_EQ(risk.RowCount(), 6);
    for (int row = 1; row <= 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(risk.CellText(row, 0), State().Views.fundList.Row(row)->at(NameColumn).text);
        EXPECT_TRUE(risk.CellText(row, 1).ends_with("%")) << "区间收益 of a year";
        EXPECT_TRUE(risk.CellText(row, 2).ends_with("%")) << "a year annualises";
        EXPECT_NE(risk.CellText(row, 8), "") << "夏普比率";
        EXPECT_EQ(Table(BasketCorrelationName).CellText(row, row), "1.00");
        EXPECT_TRUE(Table(BasketOverlapName).CellText(row, row).ends_with(")"));
        EXPECT_EQ(Table(BasketCorrelationName).CellText(0, row), codes[std::size_t(row - 1)]);
    }
    const std::string all = AllTableTexts();
    for (const char* bad : {"nan", "inf", "NaN"})
        EXPECT_EQ(all.find(bad), std::string::npos) << bad;
    EXPECT_EQ(State().BasketChartState.rowCount, 6) << "the dates and five curves";
    EXPECT_TRUE(State().BasketChartState.savedImage.has_value());
    EXPECT_EQ(State().ChartState.rowCount, 0) << "the chart window's chart is another";
}

TEST_F(BasketWindowTest, ANinthFundOrOneAlreadyInIsRefusedAndChangesNothing) {
    ShowMarketRows(9);
    for (int row = 1; row <= 8; ++row)
        AddListRow(row);
    ASSERT_EQ(Codes().size(), 8u);
    AddListRow(9);
    AddListRow(3);
    EXPECT_EQ(messages.texts(),
              (std::vector<Text>{"对比篮最多八支基金"_gbk, "该基金已在对比篮中"_gbk}));
    EXPECT_EQ(Codes().size(), 8u);
    EXPECT_EQ(Codes()[2], Market().Funds()[21].code);
    messages.Clear();
    AddListRow(FundListRowsShown); // an empty row
    EXPECT_EQ(messages.texts(), (std::vector<Text>{"请选择要加入的对象"_gbk}));
}

TEST_F(BasketWindowTest, AnEmptyBasketStartsWithTheCompareSlotsFunds) {
    const demo::Fund& current = Market().Funds()[10];
    const demo::Fund& pinned = Market().Funds()[20];
    State().CurrentFundCode = current.code;
    State().Views.current.name = "当前基金"_gbk;
    State().CompareFundCode = pinned.code;
    ShowMarketRows(3);
    State().Views.fundList.rows[0][CodeColumn].text = pinned.code; // named by the list
    State().Views.fundList.rows[0][NameColumn].text = "对比基金"_gbk;
    OpenBasket();
    EXPECT_EQ(Codes(), (std::vector<Text>{current.code, pinned.code}));
    EXPECT_EQ(Table(BasketRiskTableName).CellText(1, 0), "当前基金"_gbk);
    EXPECT_EQ(Table(BasketRiskTableName).CellText(2, 0), "对比基金"_gbk);
    EXPECT_EQ(Table(BasketRiskTableName).CellColor(1, 0), MakeRgb(255, 0, 0));
    EXPECT_EQ(Table(BasketRiskTableName).CellColor(2, 0), MakeRgb(192, 96, 0));
}

TEST_F(BasketWindowTest, WithNoFundTheWindowSaysHowToAddOne) {
    OpenBasket();
    EXPECT_TRUE(Codes().empty());
    EXPECT_EQ(BasketWindow().LabelNamed(BasketSummaryName).Caption(),
              "对比篮为空：在基金列表上右键选择“加入对比篮”"_gbk);
    EXPECT_TRUE(RequestsTo("/FundCompare/LJSYL").empty());
    Click(FindControl(BasketWindow(), BasketExportButtonName));
    EXPECT_EQ(messages.texts(), (std::vector<Text>{"对比篮中没有基金"_gbk}));
}

TEST_F(BasketWindowTest, APeriodAsksOnceForEveryFundAndTheLastOneChosenWins) {
    portal()->ClearRequests();
    ShowMarketRows(3);
    for (int row = 1; row <= 3; ++row)
        AddListRow(row);
    OpenBasket();
    const Text yearSpec = State().BasketChartState.horizontalSpec;
    Click(FindControl(BasketWindow(), "近1周钮"));
    Click(FindControl(BasketWindow(), "近3年钮"));
    ASSERT_TRUE(WaitUntil([] { return !BasketLoadsRunning(); }));
    const auto compares = RequestsTo("/FundCompare/LJSYL");
    ASSERT_GE(compares.size(), 2u);
    EXPECT_NE(compares.back().query.find("&c=threeyear&"), std::string::npos);
    EXPECT_EQ(BasketWindow().LabelNamed(BasketTitleName).Caption(), "近3年月收益率走势对比图"_gbk);
    EXPECT_EQ(State().Views.basket.curves.periodButton, 7);
    EXPECT_NE(State().BasketChartState.horizontalSpec, yearSpec);
    EXPECT_EQ(RequestsTo("/FundArchivesDatas.aspx").size(), 3u) << "periods fetch no archives";
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(BasketWindowTest, RemovingAFundRedrawsFromWhatIsHeld) {
    ShowMarketRows(3);
    for (int row = 1; row <= 3; ++row)
        AddListRow(row);
    OpenBasket();
    const Text removed = Codes()[1];
    const std::size_t requests = portal()->Requests().size();
    auto* risk = FindControl<GridWidget>(BasketWindow(), BasketRiskTableName);
    RightClickCell(risk, 2, 3);
    auto* menu = FindControl<QMenu>(BasketWindow(), BasketMenuName);
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }));
    ClickMenuItem(menu, 0);
    ASSERT_TRUE(WaitUntil([] { return State().Views.basket.funds.size() == 2; }));
    EXPECT_EQ(portal()->Requests().size(), requests) << "nothing refetched";
    EXPECT_EQ(AllTableTexts().find(TextToUtf8(removed)), std::string::npos);
    EXPECT_EQ(Table(BasketRiskTableName).RowCount(), 3);
    EXPECT_EQ(State().BasketChartState.rowCount, 3);
    EXPECT_EQ(MainWindow().ButtonNamed("多基金对比钮").Caption(), "多基金对比（2）"_gbk);

    // 移出对比篮钮 acts on the risk table's cursor row; without one it says so.
    risk->setCurrentCell(-1, -1);
    Click(FindControl(BasketWindow(), BasketRemoveButtonName));
    EXPECT_EQ(messages.texts(), (std::vector<Text>{"请选择要移出的基金"_gbk}));
    Table(BasketRiskTableName).SetCursor(1, 0);
    Click(FindControl(BasketWindow(), BasketRemoveButtonName));
    EXPECT_EQ(Codes().size(), 1u);
}

TEST_F(BasketWindowTest, AFundThePortalDoesNotKnowShowsDashesAndTakesNothingAlong) {
    ShowMarketRows(2);
    AddListRow(1);
    ASSERT_TRUE(Routines().basket.addFund("999999", "")); // as the watchlist's menu adds one
    AddListRow(2);
    OpenBasket();
    const Grid risk = Table(BasketRiskTableName);
    for (int column = 1; column < risk.ColumnCount(); ++column)
        EXPECT_EQ(risk.CellText(2, column), "--") << column;
    for (const char* matrix : {BasketCorrelationName, BasketOverlapName}) {
        for (int other = 1; other <= 3; ++other) {
            EXPECT_EQ(Table(matrix).CellText(2, other), "--") << matrix << other;
            EXPECT_EQ(Table(matrix).CellText(other, 2), "--") << matrix << other;
        }
        EXPECT_NE(Table(matrix).CellText(1, 3), "--") << matrix;
    }
    // The fund before the unknown one reads its own values, not zeros.
    const std::vector<double>& first = State().Views.basket.curves.byCode.at(Codes()[0]).values;
    EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](double v) { return v != 0; }));
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(BasketWindowTest, ClosingKeepsTheBasketAndReopeningLoadsAfresh) {
    ShowMarketRows(2);
    AddListRow(1);
    AddListRow(2);
    OpenBasket();
    const std::vector<Text> codes = Codes();
    BasketWindow().Close();
    ASSERT_TRUE(WaitUntil([] { return !BasketWindow().Exists(); }));
    EXPECT_FALSE(State().BasketChartState.savedImage.has_value());
    EXPECT_EQ(Codes(), codes);
    portal()->ClearRequests();
    OpenBasket();
    EXPECT_EQ(Codes(), codes);
    EXPECT_EQ(RequestsTo("/FundCompare/LJSYL").size(), 1u);
    EXPECT_EQ(RequestsTo("/FundArchivesDatas.aspx").size(), 2u);
    EXPECT_EQ(Table(BasketRiskTableName).RowCount(), 3);
    EXPECT_EQ(State().BasketChartState.rowCount, 3);
}

TEST_F(BasketWindowTest, CopyAndTheCsvButtonGiveTheFiguresShown) {
    ShowMarketRows(2);
    AddListRow(1);
    AddListRow(2);
    OpenBasket();
    auto* risk = FindControl<GridWidget>(BasketWindow(), BasketRiskTableName);
    risk->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
    QTest::keyClick(risk, Qt::Key_C, Qt::ControlModifier);
    const BasketView& basket = State().Views.basket;
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              ToQString(basket.risk.cells[1][0].text + "\t" + basket.risk.cells[1][1].text));

    const std::string file = TempPath("basket.csv");
    std::remove(file.c_str());
    std::vector<std::string> asked;
    SetSaveFileAsker([&](const std::string& suggested) {
        asked.push_back(suggested);
        return asked.size() == 1 ? std::string() : asked.size() == 2 ? file : "/nonexistent/x.csv";
    });
    Click(FindControl(BasketWindow(), BasketExportButtonName)); // cancelled
    EXPECT_FALSE(std::filesystem::exists(file));
    Click(FindControl(BasketWindow(), BasketExportButtonName));
    std::ifstream in(file, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_EQ(written.str(), BasketCsv(ComputeBasketTables(BasketDataOf(basket), 1.5)));
    EXPECT_TRUE(written.str().starts_with("\xEF\xBB\xBF代码,"));
    EXPECT_EQ(asked.front(), BasketCsvName);
    EXPECT_TRUE(messages.texts().empty());
    Click(FindControl(BasketWindow(), BasketExportButtonName)); // a folder that is not there
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_TRUE(messages.texts()[0].starts_with("表格导出失败："_gbk));
    std::remove(file.c_str());
}

TEST_F(BasketWindowTest, TheControlDumpHoldsTheWindowWithItsOwnChart) {
    ShowMarketRows(3);
    for (int row = 1; row <= 3; ++row)
        AddListRow(row);
    OpenBasket();
    MoveMouse(FindControl(BasketWindow(), BasketPanelName), QPoint(300, 150));
    EXPECT_GT(State().BasketChartState.lastColumn, 0) << "the read-out follows the mouse";
    const auto dump = nlohmann::json::parse(DumpText());
    const auto& controls = dump["windows"]["basket"]["controls"];
    EXPECT_EQ(controls[BasketPanelName]["chart"]["rowCount"], 4);
    EXPECT_EQ(controls[BasketRiskTableName]["rows"], 4);
    EXPECT_EQ(controls["近3年钮"]["text"], "近3年");
    EXPECT_EQ(controls[BasketMenuName]["items"][0], "移出对比篮");
    EXPECT_EQ(dump["windows"]["basket"]["title"], "多基金对比");

    BasketWindow().Close();
    ASSERT_TRUE(WaitUntil([] { return !BasketWindow().Exists(); }));
    const auto closed = nlohmann::json::parse(DumpText());
    EXPECT_EQ(closed["windows"]["basket"]["controls"][BasketPanelName]["chart"]["rowCount"], 4)
        << "the snapshot taken as it closed";
}

class SlowBasketWindowTest : public BasketWindowTest {
protected:
    void SetUp() override { Start(150); }
};

TEST_F(SlowBasketWindowTest, AFundAddedWhileTheWindowIsOpenLoadsWithTheOthers) {
    ShowMarketRows(3);
    AddListRow(1);
    AddListRow(2);
    OpenBasket();
    AddListRow(3);
    const Grid risk = Table(BasketRiskTableName);
    ASSERT_EQ(risk.RowCount(), 4) << "its row at once";
    EXPECT_EQ(risk.CellText(3, 1), "") << "empty until its curve comes";
    ASSERT_TRUE(WaitUntil([] { return !BasketLoadsRunning(); }));
    EXPECT_TRUE(risk.CellText(3, 1).ends_with("%"));
    EXPECT_NE(Table(BasketOverlapName).CellText(3, 3), "");
    EXPECT_EQ(State().BasketChartState.rowCount, 4);
    EXPECT_EQ(RequestsTo("/FundArchivesDatas.aspx").size(), 3u) << "only the new fund's archive";
}

TEST_F(SlowBasketWindowTest, TheAnswersComingInLeaveTheUsersSelectionAlone) {
    ShowMarketRows(2);
    AddListRow(1);
    AddListRow(2);
    Click(FindControl(MainWindow(), "多基金对比钮"));
    auto* overlap = FindControl<GridWidget>(BasketWindow(), BasketOverlapName);
    overlap->setCurrentCell(1, 1);
    overlap->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 2), true);
    ASSERT_TRUE(BasketLoadsRunning());
    ASSERT_TRUE(WaitUntil([] { return !BasketLoadsRunning(); }));
    EXPECT_EQ(overlap->currentRow(), 1);
    EXPECT_EQ(overlap->selectedRanges().size(), 1);
    EXPECT_TRUE(Table(BasketOverlapName).CellText(1, 2).ends_with(")"));
}

TEST_F(SlowBasketWindowTest, ClosingMidLoadWritesNothingAfterwards) {
    ShowMarketRows(2);
    AddListRow(1);
    AddListRow(2);
    Click(FindControl(MainWindow(), "多基金对比钮"));
    ASSERT_TRUE(BasketWindow().Exists());
    BasketWindow().Close();
    WaitUntil([] { return false; }, 600); // the answers have come back by now
    EXPECT_FALSE(BasketLoadsRunning());
    EXPECT_TRUE(State().BasketChartState.ReadoutTable.empty());
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(Codes().size(), 2u);
}

} // namespace
} // namespace fundlens::test
