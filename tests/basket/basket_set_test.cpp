// The basket's funds and the answers stored for them, as values: who may join, which colour a
// fund gets and keeps, which answer lands where; the chart drawn from them, eight curves inside
// the panel.
#include "basket/basket_chart.h"
#include "basket/basket_loads.h"
#include "basket/basket_set.h"
#include "chart/chart_drawing.h"
#include "chart/readout_geometry.h"
#include "shell/draw_panel.h"
#include "shell/program_state.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

BasketView BasketOf(std::initializer_list<const char*> codes) {
    BasketView basket;
    for (const char* code : codes)
        AppendToBasket(basket, code, Text("name ") + code);
    return basket;
}

TEST(BasketFunds, WhoMayJoin) {
    const BasketView full =
        BasketOf({"000001", "000002", "000003", "000004", "000005", "000006", "000007", "000008"});
    const BasketView some = BasketOf({"000001", "000002"});
    const struct {
        const char* name;
        const BasketView& basket;
        Text code;
        Text refusal;
    } cases[] = {
        {"a new fund", some, "000003", ""},
        {"already in", some, "000002", "该基金已在对比篮中"_gbk},
        {"a ninth fund", full, "000009", "对比篮最多八支基金"_gbk},
        {"already in a full basket: that is what is said", full, "000008",
         "该基金已在对比篮中"_gbk},
        {"no code", some, "", "请选择要加入的对象"_gbk},
        {"not six digits", some, "00001", "请选择要加入的对象"_gbk},
        {"a code that would change the request", some, "00001,", "请选择要加入的对象"_gbk},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BasketRefusal(c.basket, c.code), c.refusal) << c.name;
}

TEST(BasketFunds, AFundKeepsItsColourAndTheFirstFreeOneIsTakenNext) {
    BasketView basket = BasketOf({"000001", "000002", "000003"});
    EXPECT_EQ(basket.funds[2].colorSlot, 2);
    basket.funds.erase(basket.funds.begin()); // the first leaves: the others keep theirs
    EXPECT_EQ(basket.funds[0].colorSlot, 1);
    AppendToBasket(basket, "000004", "");
    EXPECT_EQ(basket.funds.back().colorSlot, 0);
    AppendToBasket(basket, "000005", "");
    EXPECT_EQ(basket.funds.back().colorSlot, 3);
    EXPECT_EQ(BasketSeriesColors[0], MakeRgb(255, 0, 0)) << "as the chart window's fund A";
    EXPECT_EQ(BasketSeriesColors[1], MakeRgb(192, 96, 0)) << "as its fund B";
    for (std::size_t i = 0; i < BasketSeriesColors.size(); ++i)
        for (std::size_t j = i + 1; j < BasketSeriesColors.size(); ++j)
            EXPECT_NE(BasketSeriesColors[i], BasketSeriesColors[j]);
}

FundCurves Curves(std::vector<std::vector<double>> values, std::vector<bool> found) {
    FundCurves curves;
    curves.ok = true;
    curves.dates = {"2026/12/01", "2026/12/02"};
    curves.horizontalSpec = "1|01||02|";
    curves.values = std::move(values);
    curves.found = std::move(found);
    return curves;
}

TEST(BasketAnswers, CurvesLandOnTheFundsStillInTheBasket) {
    BasketView basket = BasketOf({"000001", "000003", "000004"});
    basket.curves.byCode["000001"] = {Fetched::Loaded, {9, 9}}; // of the answer before
    // Asked for 000001, 000002 (removed since) and 000003; 000004 was added since.
    StoreBasketCurves(basket, {"000001", "000002", "000003"}, 7,
                      Curves({{1, 2}, {3, 4}, {0, 0}}, {true, true, false}));
    EXPECT_EQ(basket.curves.periodButton, 7);
    EXPECT_EQ(basket.curves.dates.size(), 2u);
    const auto& byCode = basket.curves.byCode;
    EXPECT_EQ(byCode.at("000001").state, Fetched::Loaded);
    EXPECT_EQ(byCode.at("000001").values, (std::vector<double>{1, 2}));
    EXPECT_EQ(byCode.count("000002"), 0u) << "removed: not stored";
    EXPECT_EQ(byCode.at("000003").state, Fetched::Failed) << "not in the answer";
    EXPECT_EQ(byCode.count("000004"), 0u) << "added since: still pending";
}

TEST(BasketAnswers, AFailedAnswerLeavesNoCurveOfTheOneBefore) {
    BasketView basket = BasketOf({"000001", "000002"});
    StoreBasketCurves(basket, {"000001", "000002"}, 5, Curves({{1, 2}, {3, 4}}, {true, true}));
    StoreBasketCurves(basket, {"000001", "000002"}, 6, FundCurves{});
    EXPECT_TRUE(basket.curves.dates.empty());
    EXPECT_EQ(basket.curves.byCode.at("000001").state, Fetched::Failed);
    EXPECT_TRUE(basket.curves.byCode.at("000001").values.empty());
    EXPECT_TRUE(BasketChart(basket).series.empty());
}

TEST(BasketAnswers, HoldingsLandOnTheirFund) {
    BasketView basket = BasketOf({"000001"});
    StoreBasketHoldings(basket, "000001", TopHoldings{"2026-09-30", {{"600519", "", 5}}});
    StoreBasketHoldings(basket, "000002", TopHoldings{}); // removed meanwhile
    EXPECT_EQ(basket.holdings.at("000001").state, Fetched::Loaded);
    EXPECT_EQ(basket.holdings.count("000002"), 0u);
    StoreBasketHoldings(basket, "000001", std::nullopt);
    EXPECT_EQ(basket.holdings.at("000001").state, Fetched::Failed);
    EXPECT_TRUE(basket.holdings.at("000001").top.stocks.empty()) << "nothing of before";
}

TEST(BasketChartValues, OneCurvePerLoadedFundInItsColour) {
    BasketView basket = BasketOf({"000001", "000002", "000003"});
    basket.funds.erase(basket.funds.begin()); // 000002 and 000003 keep slots 1 and 2
    StoreBasketCurves(basket, {"000002", "000003"}, 5,
                      Curves({{-3.7, 1.2}, {0.5, 12.9}}, {true, true}));
    basket.curves.byCode["000003"].state = Fetched::Failed;
    const ChartView chart = BasketChart(basket);
    ASSERT_EQ(chart.series.size(), 1u);
    EXPECT_EQ(chart.series[0].name, "000002");
    EXPECT_EQ(chart.series[0].color, BasketSeriesColors[1]);
    EXPECT_EQ(chart.series[0].values, (std::vector<float>{-3.7f, 1.2f}));
    EXPECT_EQ(chart.verticalSpec, "9|-4|2") << "the range of the curves drawn";
    EXPECT_EQ(chart.horizontalSpec, "1|01||02|");
    EXPECT_EQ(chart.dates, basket.curves.dates);
    EXPECT_EQ(chart.axisTitles, "时间|涨跌（%）"_gbk);
}

// The basket's panel as designed (900 × 300) with eight curves: the legend and the read-out's
// box (nine rows) stay inside it.
TEST(BasketChartValues, EightCurvesFitThePanel) {
    DrawPanelWidget widget;
    widget.resize(900, 300);
    ChartView chart;
    chart.horizontalSpec = "3|a||b||c||d|";
    chart.verticalSpec = "9|0|8";
    chart.horizontalSubdivision = 2;
    chart.axisTitles = "时间|涨跌（%）"_gbk;
    chart.dates = {"a", "b", "c", "d"};
    for (int f = 0; f < MaxBasketFunds; ++f)
        chart.series.push_back({"00000" + std::to_string(f),
                                BasketSeriesColors[std::size_t(f)],
                                BasketSeriesWidth,
                                {0, float(f), 1, 2}});
    ChartState state;
    DrawChart(state, DrawPanel(&widget), chart);
    EXPECT_EQ(state.rowCount, MaxBasketFunds + 1);
    const PlotRect plot = ChartPlot(state);
    const Legend last = PlaceLegend(plot, MaxBasketFunds, BasketSeriesWidth, "000007");
    EXPECT_LT(last.name.y + 12, widget.height());
    EXPECT_LT(last.name.x + EstimateTextWidth("000007"), widget.width());
    for (int x : {plot.left, plot.right}) {
        const ReadoutPlan plan = PlanReadout(plot, state.intervals, state.ReadoutTable,
                                             state.rowCount, x, plot.bottom, 0, 0);
        ASSERT_TRUE(plan.showBox);
        EXPECT_GE(plan.outline.y1, 0);
        EXPECT_LE(plan.outline.y2, widget.height());
        EXPECT_GE(plan.outline.x1, 0);
        EXPECT_LE(plan.outline.x2, widget.width());
        EXPECT_EQ(plan.lines.size(), std::size_t(MaxBasketFunds + 1)) << "every fund listed";
    }
}

} // namespace
} // namespace fundlens
