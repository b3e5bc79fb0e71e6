// The mouse read-out: its table, the column under the mouse and the box.
#include "chart/readout_geometry.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// Plot from x 40 to 500, y 60 to 370; five points (N = 4).
const PlotRect Plot = PlotRectangle(600, 400);
constexpr int N = 4;
constexpr Rgb Orange = MakeRgb(192, 96, 0);

ReadoutTable FiveDates(int series) {
    ReadoutTable table;
    AddReadoutRow(table, ReadoutHeaderRow("时间"_gbk, RgbBlack,
                                          {"12/01", "12/02", "12/03", "12/04", "12/07"}));
    for (int s = 0; s < series; ++s)
        AddReadoutRow(table, ReadoutSeriesRow(s ? "005939" : "005669", s ? Orange : RgbRed,
                                              {0, -3.7f, 1.52f, 8.21f, 12.9f}));
    return table;
}

TEST(ReadoutGeometry, TableRows) {
    EXPECT_EQ(ReadoutSeriesRow("a", Orange, {0, -3.7f, 12.9f, -0.0f, 1.23456789f}),
              (ReadoutRow{"a", "24768", "0", "-3.7", "12.9", "0", "1.23457"}));
    EXPECT_EQ(ReadoutHeaderRow("时间"_gbk, RgbBlack, {}), (ReadoutRow{"", "0"}));
    ReadoutTable table = FiveDates(1);
    AddReadoutRow(table, ReadoutSeriesRow("long", RgbRed, std::vector<float>(8, 1)));
    EXPECT_EQ(ReadoutColumnCount(table), 10);
    EXPECT_EQ(table[0].size(), 10u) << "the table stays rectangular";
}

TEST(ReadoutGeometry, ColumnUnderTheMouse) {
    const struct {
        const char* name;
        int x, columns, column;
    } cases[] = {
        {"at left: point 1", 40, 7, 1},
        {"left of the plot", 30, 7, 1},
        {"just before the second point", 154, 7, 1},
        {"at right: point n", 500, 7, 5},
        {"beyond right", 520, 7, 5},
        {"fewer than three points", 500, 4, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadoutColumn(Plot, N, c.x, c.columns), c.column) << c.name;
    EXPECT_EQ(ReadoutColumn(PlotRect{40, 40, 370, 60}, N, 40, 7), 1) << "zero-width plot";
    EXPECT_TRUE(InReadoutArea(Plot, 30, 40));
    EXPECT_FALSE(InReadoutArea(Plot, 200, 381));
}

TEST(ReadoutGeometry, BoxKeepsToTheHalfAwayFromTheMouse) {
    const int onRight = 500 - 126 - 10;
    const int onLeft = 50;
    const struct {
        const char* name;
        int x, boxX, lastColumn;
        bool showBox;
        int newBoxX;
        bool moved;
    } cases[] = {
        {"entering in the left half", 40, 0, 0, true, onRight, true},
        {"entering in the right half", 500, 0, 0, true, onLeft, true},
        {"entering at the middle column", 155, 0, 0, true, onRight, false},
        {"left half, box already right", 40, onRight, 3, true, onRight, false},
        {"left half, box on the left", 40, onLeft, 3, true, onRight, true},
        {"middle column, box on the left", 155, onLeft, 3, true, onLeft, false},
        {"same column as before", 40, onRight, 1, false, onRight, false},
        {"leaving the area: everything reset", 521, onLeft, 3, false, 0, false},
    };
    const ReadoutTable table = FiveDates(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadoutPlan plan = PlanReadout(Plot, N, table, 2, c.x, 200, c.boxX, c.lastColumn);
        EXPECT_EQ(plan.showBox, c.showBox);
        EXPECT_EQ(plan.placement.boxX, c.newBoxX);
        EXPECT_EQ(plan.placement.moved, c.moved);
        EXPECT_DOUBLE_EQ(plan.crosshair.vertical.x1, plan.inside ? c.x : 0);
        EXPECT_EQ(plan.lastColumn == 0, !plan.inside);
    }
}

TEST(ReadoutGeometry, BoxSizeAndTexts) {
    EXPECT_EQ(ReadoutBoxHeight(2), 34);
    ReadoutTable table = FiveDates(2);
    table[2][0] = "基金比较测试"_gbk; // 12 bytes
    const ReadoutPlan plan = PlanReadout(Plot, N, table, 3, 500, 200, 0, 0);
    ASSERT_TRUE(plan.showBox);
    EXPECT_EQ(std::vector<int>({plan.outline.x1, plan.outline.y1, plan.outline.x2, plan.outline.y2,
                                plan.fill.x1, plan.fill.y2}),
              std::vector<int>({50, 40, 176, 91, 52, 89}));
    const std::vector<std::pair<Text, Rgb>> expected{{"时间：12/07"_gbk, RgbBlack},
                                                     {"005669：12.9"_gbk, RgbRed},
                                                     {"基金比较：12.9"_gbk, Orange}};
    ASSERT_EQ(plan.lines.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(plan.lines[r].text.text, expected[r].first) << r;
        EXPECT_EQ(plan.lines[r].colour, expected[r].second) << r;
        EXPECT_DOUBLE_EQ(plan.lines[r].text.y, 45 + 15.0 * static_cast<double>(r));
    }
    // A two-byte character that would straddle the eighth byte is left out whole.
    EXPECT_EQ(ReadoutLineOf({"ABCDEFG基"_gbk, "0", "1"}, 1, 0, 0, 0).text.text, "ABCDEFG：1"_gbk);
}

TEST(ReadoutGeometry, NoBoxWithoutAnAxisTitle) {
    ReadoutTable untitled = FiveDates(1);
    untitled[0][0].clear();
    const ReadoutPlan plan = PlanReadout(Plot, N, untitled, 2, 500, 200, 0, 1);
    EXPECT_FALSE(plan.showBox);
    EXPECT_EQ(plan.lastColumn, 5) << "the column is remembered all the same";
}

} // namespace
} // namespace fundlens
