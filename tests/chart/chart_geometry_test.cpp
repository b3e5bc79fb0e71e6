// The chart's frame, grid, labels, curves and legend as numbers.
#include "chart/chart_geometry.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// A 600 x 400 panel: plot from x 40 to 500, y 60 (top) to 370 (bottom).
const PlotRect Plot = PlotRectangle(600, 400);

std::vector<Text> TextsOf(const std::vector<ChartText>& texts) {
    std::vector<Text> out;
    for (const ChartText& t : texts)
        out.push_back(t.text);
    return out;
}

TEST(ChartGeometry, PlotRectangleWithExtraMargins) {
    const PlotRect p = PlotRectangle(600, 400, {5, 6, 7, 8});
    EXPECT_EQ(std::vector<int>({p.left, p.right, p.bottom, p.top}),
              std::vector<int>({45, 493, 364, 68}));
}

TEST(ChartGeometry, HorizontalLayout) {
    const struct {
        const char* name;
        Text description;
        int intervals, entries, minor, majors;
        std::vector<Text> labels;
    } cases[] = {
        {"five dates", "4|01||02||03||04||07|", 4, 10, 16, 8, {"01", "02", "03", "04", "07"}},
        {"no closing bar", "2|a||b", 2, 4, 4, 2, {"a", "b"}},
        {"single point", "0|07|", 0, 2, 0, 0, {"07"}},
        {"full-width bars",
         "4｜01｜｜02｜｜03｜｜04｜｜07｜"_gbk,
         4,
         10,
         16,
         8,
         {"01", "02", "03", "04", "07"}},
        {"empty", "", 0, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HorizontalLayout h = LayoutHorizontalAxis(Plot, c.description, 2);
        EXPECT_EQ(h.intervals, c.intervals);
        EXPECT_EQ(h.entryCount, c.entries);
        EXPECT_EQ(static_cast<int>(h.minorLines.size()), c.minor);
        EXPECT_EQ(static_cast<int>(h.majorLines.size()), c.majors);
        EXPECT_EQ(TextsOf(h.labels), c.labels);
        if (!h.labels.empty()) {
            EXPECT_DOUBLE_EQ(h.labels.front().x, Plot.left - 1); // the first date: at the axis
        }
    }
}

TEST(ChartGeometry, FiveDatesFallOnEverySecondMajorLine) {
    const HorizontalLayout h = LayoutHorizontalAxis(Plot, "4|01||02||03||04||07|", 2);
    EXPECT_DOUBLE_EQ(h.minorLines.front().x1, 40 + 460.0 / 16);
    EXPECT_DOUBLE_EQ(h.minorLines.back().x1, 500);
    for (int k = 0; k < 8; ++k)
        EXPECT_DOUBLE_EQ(h.majorLines[static_cast<std::size_t>(k)].x1, 40 + 57.5 * (k + 1)) << k;
    // Centred by the estimate (6 pixels a byte), or by a measurement given instead.
    EXPECT_DOUBLE_EQ(h.labels[1].x, 40 + 115 - 6);
    const auto twenty = [](const Text&) { return 20.0; };
    EXPECT_DOUBLE_EQ(LayoutHorizontalAxis(Plot, "4|01||02||03||04||07|", 2, twenty).labels[4].x,
                     500 - 10);
}

TEST(ChartGeometry, VerticalLayout) {
    const struct {
        const char* name;
        Text description;
        std::vector<Text> labels;
        bool zeroLine;
    } cases[] = {
        // clang-format off
        {"-3 to 12", "9|-3|12", {"-3", "-1", "0", "2", "4", "5", "7", "9", "10", "12"}, true},
        {"0 to 12", "9|0|12", {"0", "1", "3", "4", "5", "7", "8", "9", "11", "12"}, false},
        {"both ends fractional: two decimals", "9|-0.25|2.5",
         {"-0.25", "0.06", "0.36", "0.67", "0.97", "1.28", "1.58", "1.89", "2.19", "2.5"}, true},
        {"a short range: whole numbers would repeat, so two decimals", "9|-1|0.5",
         {"-1", "-0.83", "-0.67", "-0.5", "-0.33", "-0.17", "0", "0.17", "0.33", "0.5"}, true},
        {"rounded to zero is written 0", "1|-0.4|1", {"0", "1"}, true},
        {"listed values", "0|25|50|100", {"0", "25", "50", "100"}, false},
        {"no divisions", "0|1|5", {"1"}, false},
        {"full-width bars", "9｜-3｜12"_gbk, {"-3", "-1", "0", "2", "4", "5", "7", "9", "10", "12"}, true},
        {"empty range", "9|0|0", {}, false},
        {"empty description", "", {}, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const VerticalLayout v = LayoutVerticalAxis(Plot, c.description, 2);
        EXPECT_EQ(TextsOf(v.labels), c.labels);
        EXPECT_EQ(v.majorLines.size(), c.labels.empty() ? 0 : c.labels.size() - 1);
        EXPECT_EQ(v.minorLines.size(), c.labels.empty() ? 0 : 2u * v.divisions);
        EXPECT_EQ(v.zeroLine.has_value(), c.zeroLine);
    }
}

TEST(ChartGeometry, VerticalLabelsSitLeftOfTheAxisOnTheirLines) {
    const VerticalLayout v = LayoutVerticalAxis(Plot, "9|-3|12", 0);
    EXPECT_DOUBLE_EQ(v.labels.front().x, 40 - 12 - 2); // "-3": two bytes of 6 pixels
    EXPECT_DOUBLE_EQ(v.labels.front().y, 370 - 6 - 1);
    EXPECT_DOUBLE_EQ(v.majorLines.back().y1, 60);
    const double y0 = 370 - 310.0 / 15 * 3;
    EXPECT_DOUBLE_EQ(v.zeroLine->y1, y0);
    EXPECT_DOUBLE_EQ(v.zeroLabel.x, 40 - 12);
    EXPECT_DOUBLE_EQ(v.zeroLabel.y, y0 - 6);
}

TEST(ChartGeometry, SeriesPoints) {
    const std::vector<float> values{-3, 0, 12, 4.5f, 6};
    const std::vector<ChartPoint> p = SeriesPoints(Plot, 4, -3, 12, values);
    ASSERT_EQ(p.size(), 5u);
    const double xs[] = {40, 155, 270, 385, 500};
    const double ys[] = {370, 308, 60, 215, 184};
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_DOUBLE_EQ(p[i].x, xs[i]) << i;
        EXPECT_NEAR(p[i].y, ys[i], 1e-9) << i;
    }
    EXPECT_TRUE(SeriesPoints(Plot, 0, -3, 12, {1}).empty()) << "a single point";
    EXPECT_TRUE(SeriesPoints(Plot, 4, 0, 0, values).empty()) << "an empty range";
}

TEST(ChartGeometry, LegendRowsAndAxisTitles) {
    const Legend first = PlaceLegend(Plot, 1, 3, "005669");
    EXPECT_EQ(std::vector<int>({first.bar.x1, first.bar.y1, first.bar.x2, first.bar.y2}),
              std::vector<int>({510, 60, 520, 63}));
    EXPECT_DOUBLE_EQ(first.name.y, 54);
    EXPECT_EQ(PlaceLegend(Plot, 2, 3, "005939").bar.y1, 78);
    const Text cases[][3] = {
        {"时间|涨跌（%）"_gbk, "时间"_gbk, "涨跌（%）"_gbk},
        {"时间｜涨跌"_gbk, "时间"_gbk, "涨跌"_gbk},
        {"涨跌"_gbk, "", "涨跌"_gbk},
    };
    for (const auto& c : cases) {
        const AxisTitles t = PlaceAxisTitles(Plot, c[0]);
        EXPECT_EQ(t.x.text + "/" + t.y.text, c[1] + "/" + c[2]);
    }
}

} // namespace
} // namespace fundlens
